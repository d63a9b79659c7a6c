#pragma once
// Where a DDE conversation (service, topic) meets: the local socket
// "dde-SERVICE-TOPIC", both names upper-cased (ASCII, as DDE compares them
// without case), in the user's runtime folder (see RuntimeFolder).
#include <QString>
#include <string>

// The socket's path. error is set when the folder must not be used (no
// folder of the user's alone); the path then only names the place.
QString DdeSocketPath(const std::string& service, const std::string& topic, std::string& error);
// The same, for callers that only need the name.
QString DdeSocketPath(const std::string& service, const std::string& topic);
