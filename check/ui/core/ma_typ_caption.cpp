#include "check/ui/core/ma_typ_caption.h"

#include "kernel/services/services.h"
#include "platform/paths.h"

bool IsMaTypFolder(const std::string& stored)
{
    return !stored.empty() && (stored.back() == '\\' || stored.back() == '/');
}

std::string MaTypCaption(const std::string& stored)
{
    if (stored.empty() || IsMaTypFolder(stored))
        return {};
    const std::string file = FindExisting(NormalizePath(stored));
    if (file.empty())
        return {};
    const std::string value = F_ReadKeyValue(file, "!M_TYP", ':');
    return value.empty() ? std::string() : "--> " + value;
}
