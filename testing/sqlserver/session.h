// One client connection: PRELOGIN, LOGIN7 with the login check, then SQL batches until the
// client goes away.
#pragma once
#include "executor.h"

namespace standin {

void run_session(int fd, const ServerConfig& config, int spid);

}  // namespace standin
