#include "kernel/ui/translate_form.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTranslator>
#include <QVariant>

#include "kernel/language/language.h"

namespace {

int TagOf(const QObject* o)
{
    const QVariant tag = o->property("Tag");
    return tag.isValid() ? tag.toInt() : 0;
}

QString Phrase(const QString& text)
{
    if (text.isEmpty())
        return text;
    return QString::fromStdString(TranslatePhrase(text.toStdString()));
}

// The hint's two parts: the tooltip (lines joined by "\n") and the status-bar text.
struct Hint {
    QString shortText;
    QString longText;
};

Hint TranslatedHint(const QString& source)
{
    const QString hint = QString::fromStdString(F_TRANSHINT(source.toStdString()));
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    Hint h;
    h.shortText = bar < 0 ? hint : hint.left(bar);
    h.longText = bar < 0 ? hint : hint.mid(bar + 1);
    h.shortText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return h;
}

// The tooltip an action shows when none was set: its text without the
// accelerator marks and the trailing dots.
QString DerivedActionToolTip(const QAction* a)
{
    QString s = a->text().isEmpty() ? a->iconText() : a->text();
    s.remove(QStringLiteral("..."));
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('&')) {
            if (i + 1 < s.size() && s.at(i + 1) == QLatin1Char('&'))
                out += s.at(++i);
            continue;
        }
        out += s.at(i);
    }
    return out.trimmed();
}

// Remembers the translated tooltip, so that a hint set already translated
// is not translated a second time when its window is translated.
constexpr char kTranslatedHint[] = "TranslatedHint";

template <typename T>
void TranslateHintOf(T* o, const QString& source)
{
    if (source.isEmpty())
        return;
    if (const QVariant done = o->property(kTranslatedHint); done.isValid() && done.toString() == source)
        return;
    const Hint h = TranslatedHint(source);
    o->setToolTip(h.shortText);
    o->setStatusTip(h.longText);
    o->setProperty(kTranslatedHint, h.shortText);
}

}  // namespace

void SetTranslatedHint(QWidget* widget, const QString& hint)
{
    widget->setToolTip(QString());
    widget->setStatusTip(QString());
    TranslateHintOf(widget, hint);
}

namespace {

template <typename T>
void TranslateHint(T* o)
{
    TranslateHintOf(o, o->toolTip());
}

template <typename T>
void TranslateText(T* o)
{
    const QString t = Phrase(o->text());
    if (t != o->text())
        o->setText(t);
}

void TranslateAction(QAction* a)
{
    // An action without a tooltip of its own answers with its text, which is
    // no hint and follows the translated text anyway.
    const QString own = a->toolTip() == DerivedActionToolTip(a) ? QString() : a->toolTip();
    TranslateText(a);
    TranslateHintOf(a, own);
}

void TranslateTabs(QTabWidget* tabs)
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (QWidget* page = tabs->widget(i); page && TagOf(page) < 0)
            continue;
        tabs->setTabText(i, Phrase(tabs->tabText(i)));
        if (!tabs->tabToolTip(i).isEmpty())
            tabs->setTabToolTip(i, TranslatedHint(tabs->tabToolTip(i)).shortText);
    }
}

// The first row of the class table that the object is, in the order the
// table checks them; other classes are left as they are.
void TranslateComponent(QObject* o)
{
    if (auto* e = qobject_cast<QLineEdit*>(o); e && e->inputMask().isEmpty()) {
        TranslateText(e);
        TranslateHint(e);
    } else if (auto* a = qobject_cast<QAction*>(o)) {
        TranslateAction(a);
    } else if (auto* l = qobject_cast<QLabel*>(o); l && !l->pixmap().isNull()) {
        TranslateHint(l);
    } else if (auto* t = qobject_cast<QTableView*>(o)) {
        TranslateHint(t);
    } else if (auto* b = qobject_cast<QPushButton*>(o)) {
        TranslateText(b);
        TranslateHint(b);
    } else if (auto* tb = qobject_cast<QToolButton*>(o)) {
        // A button that shows an action takes text and hint from it.
        if (!tb->defaultAction()) {
            TranslateText(tb);
            TranslateHint(tb);
        }
    } else if (auto* me = qobject_cast<QLineEdit*>(o)) {
        TranslateHint(me);
    } else if (auto* ol = qobject_cast<QLabel*>(o)) {
        TranslateText(ol);
        TranslateHint(ol);
    } else if (auto* fd = qobject_cast<QFileDialog*>(o)) {
        fd->setWindowTitle(Phrase(fd->windowTitle()));
        const QString filter = fd->nameFilters().join(QStringLiteral(";;"));
        const QString translated = Phrase(filter);
        if (translated != filter)
            fd->setNameFilter(translated);
    } else if (auto* c = qobject_cast<QCheckBox*>(o)) {
        TranslateText(c);
        TranslateHint(c);
    } else if (auto* tw = qobject_cast<QTabWidget*>(o)) {
        TranslateTabs(tw);
    } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
        g->setTitle(Phrase(g->title()));
        TranslateHint(g);
    } else if (auto* cb = qobject_cast<QComboBox*>(o)) {
        for (int i = 0; i < cb->count(); ++i)
            cb->setItemText(i, Phrase(cb->itemText(i)));
        TranslateHint(cb);
    } else if (auto* panel = qobject_cast<QFrame*>(o); panel && panel->metaObject() == &QFrame::staticMetaObject) {
        // A plain frame is what the windows build their panels from.
        TranslateHint(panel);
    }
}

// Composite widgets build their inner parts themselves; the form placed
// only the outer one. A window of its own (another form parented to this
// one) translates itself when it is made: going into it again would look
// its translations up as German phrases and teach them to the database.
// Menus are windows too, but their entries are the form's.
bool HasOwnParts(const QObject* o)
{
    if (const auto* w = qobject_cast<const QWidget*>(o); w && w->isWindow() && !qobject_cast<const QMenu*>(o))
        return true;
    return qobject_cast<const QComboBox*>(o) || qobject_cast<const QFileDialog*>(o) ||
           qobject_cast<const QAbstractSpinBox*>(o) || qobject_cast<const QAbstractItemView*>(o) ||
           qobject_cast<const QLineEdit*>(o) || qobject_cast<const QTabBar*>(o);
}

void Walk(QObject* parent)
{
    // A tab widget's pages are its content; its tab bar is its own part.
    if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
        for (int i = 0; i < tabs->count(); ++i)
            if (QWidget* page = tabs->widget(i)) {
                if (TagOf(page) >= 0)
                    TranslateComponent(page);
                Walk(page);
            }
        return;
    }
    // Copied: translating may create or reparent objects.
    const QObjectList children = parent->children();
    for (QObject* child : children) {
        if (TagOf(child) >= 0)
            TranslateComponent(child);
        if (!HasOwnParts(child))
            Walk(child);
    }
}

// Qt's key names (the "QShortcut" context) as our own German names, each
// translated the first time a menu shows it.
class KeyNameTranslator : public QTranslator {
public:
    explicit KeyNameTranslator(QObject* parent) : QTranslator(parent) {}

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (!context || !sourceText || qstrcmp(context, "QShortcut") != 0)
            return {};
        // A new start of the engine may mean another language.
        if (generation_ != PhraseListGeneration()) {
            cache_.clear();
            generation_ = PhraseListGeneration();
        }
        const QString key = QString::fromUtf8(sourceText);
        if (auto it = cache_.constFind(key); it != cache_.constEnd())
            return *it;
        const char* german = GermanName(sourceText);
        if (!german)
            return {};
        const QString translated = QString::fromStdString(F_TRANS(german));
        cache_.insert(key, translated);
        return translated;
    }

    bool isEmpty() const override { return false; }

private:
    static const char* GermanName(const char* qtName)
    {
        static const struct {
            const char* qt;
            const char* german;
        } table[] = {
            {"Ctrl", "Strg"},
            {"Shift", "Umsch"},
            {"Alt", "Alt"},
            {"Del", "Entf"},
            {"Ins", "Einfg"},
            {"Home", "Pos1"},
            {"End", "Ende"},
            {"PgUp", "Bild auf"},
            {"PgDown", "Bild ab"},
            {"Esc", "Esc"},
            {"Tab", "Tab"},
            {"Backspace", "R\xC3\xBC" "cktaste"},
            {"Return", "Eingabe"},
            {"Enter", "Eingabe"},
            {"Space", "Leer"},
            {"Left", "Links"},
            {"Right", "Rechts"},
            {"Up", "Oben"},
            {"Down", "Unten"},
            {"Pause", "Pause"},
            {"Print", "Druck"},
        };
        for (const auto& e : table)
            if (qstrcmp(e.qt, qtName) == 0)
                return e.german;
        return nullptr;
    }

    mutable QHash<QString, QString> cache_;
    mutable std::uint32_t generation_ = 0;
};

}  // namespace

namespace {
// Owned by the application; the guard forgets it with the application.
QPointer<KeyNameTranslator>& InstalledKeyNames()
{
    static QPointer<KeyNameTranslator> installed;
    return installed;
}
}  // namespace

void InstallKeyNameTranslator()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || InstalledKeyNames())
        return;
    InstalledKeyNames() = new KeyNameTranslator(app);
    QCoreApplication::installTranslator(InstalledKeyNames());
}

void PutKeyNameTranslatorFirst()
{
    // The application asks the translator installed last first.
    if (KeyNameTranslator* names = InstalledKeyNames()) {
        QCoreApplication::removeTranslator(names);
        QCoreApplication::installTranslator(names);
    }
}

void TranslateForm(QWidget* form)
{
    if (!form)
        return;
    InstallKeyNameTranslator();
    if (TagOf(form) >= 0)
        form->setWindowTitle(Phrase(form->windowTitle()));
    Walk(form);
}
