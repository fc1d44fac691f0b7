// corvane-server's command line.
#pragma once

#include <string>

#include "http_server.h"
#include "key_service.h"
#include "region_names.h"

namespace corvane::server {

struct ServerOptions {
    HttpServerOptions http;
    std::string data_dir = "data";
    RegionNamesPaths names;
    keys::KeyServiceOptions keys;  // database_path defaults to var/keys.sqlite
};

enum class ParseOutcome { kRun, kHelp, kError };

// Fills *options from argv ("--flag value" or "--flag=value").
ParseOutcome ParseServerOptions(int argc, const char* const* argv, ServerOptions* options,
                                std::string* error);

std::string HelpText();

}  // namespace corvane::server
