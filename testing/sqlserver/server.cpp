#include "server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "session.h"

namespace standin {

bool serve(int port, const ServerConfig& config, int stop_fd,
           void (*on_ready)(int port, void* data), void* data) {
  int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listener, 64) != 0) {
    std::fprintf(stderr, "sqlserver-standin: cannot listen on 127.0.0.1:%d: %s\n", port,
                 std::strerror(errno));
    ::close(listener);
    return false;
  }
  socklen_t len = sizeof addr;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  on_ready(ntohs(addr.sin_port), data);

  std::mutex lock;
  // By session: a socket number is given again as soon as its session closes it, before the
  // session has taken it off this list.
  std::map<int, int> open_clients;
  std::list<std::thread> threads;
  int next_spid = 51;
  while (true) {
    pollfd fds[2] = {{listener, POLLIN, 0}, {stop_fd, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents) break;
    if (!(fds[0].revents & POLLIN)) continue;
    int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    int spid = next_spid++;
    {
      std::lock_guard<std::mutex> guard(lock);
      open_clients[spid] = client;
    }
    threads.emplace_back([client, spid, &config, &lock, &open_clients] {
      run_session(client, config, spid);  // closes the socket
      std::lock_guard<std::mutex> guard(lock);
      open_clients.erase(spid);
    });
  }
  ::close(listener);
  {
    // Wake every session blocked in recv(); each then ends and closes its socket.
    std::lock_guard<std::mutex> guard(lock);
    for (const auto& session : open_clients) ::shutdown(session.second, SHUT_RDWR);
  }
  for (std::thread& t : threads) t.join();
  return true;
}

}  // namespace standin
