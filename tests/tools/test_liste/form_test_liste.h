#pragma once
// The window of the test list editor ("T_Liste", "Testliste").
#include "lists/form_liste.h"
#include "tests/tools/test_liste/test_liste_core.h"

class TFormTestListe : public TFormListe {
    Q_OBJECT
public:
    explicit TFormTestListe(QWidget* parent = nullptr);
    TestListeCore& TestCore() { return static_cast<TestListeCore&>(Core()); }
};

extern TFormTestListe* FormTestListe;
// Opens (or shows again) the test list window.
void P_ShowTestListe();
