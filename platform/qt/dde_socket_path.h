#pragma once
// Where a DDE conversation (service, topic) meets: the local socket
// "dde-SERVICE-TOPIC", both names upper-cased (ASCII, as DDE compares them
// without case), in $XDG_RUNTIME_DIR or else the system's temporary folder.
#include <QString>
#include <string>

QString DdeSocketPath(const std::string& service, const std::string& topic);
