#include "lists/core/list_links.h"

std::function<bool(const std::string& form, int line, int field)> GotoListWindow;
