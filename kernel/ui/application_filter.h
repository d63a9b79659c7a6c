#pragma once
// One event filter of a kind on the whole application, installed once.
#include <QCoreApplication>
#include <QPointer>

template <class Filter>
void InstallApplicationFilter()
{
    static QPointer<Filter> installed;
    if (installed || !qApp)
        return;
    installed = new Filter;
    installed->setParent(qApp);
    qApp->installEventFilter(installed);
}
