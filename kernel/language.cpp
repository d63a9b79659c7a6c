#include "kernel/language.h"

// Until the phrase database is started every text stands as it is.
std::string F_TRANS(const std::string& text)
{
    return text;
}

std::string F_TRANSHINT(const std::string& text)
{
    return text;
}
