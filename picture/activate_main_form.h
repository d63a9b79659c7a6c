#pragma once
// Brings the visible main window ("FormMain") to the front and gives it the
// focus; nothing when there is none.
void ActivateMainForm();
