#include "shared_standin.h"

#include <memory>

StandinProcess& shared_standin() {
  static std::unique_ptr<StandinProcess> server = std::make_unique<StandinProcess>();
  return *server;
}

Connected::Connected(const std::string& database) {
  login = client.connect(shared_standin().connection_string(database));
}
