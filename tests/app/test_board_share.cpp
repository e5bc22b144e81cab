#include <gtest/gtest.h>

#include "app/board_share.h"
#include "share/share_server.h"

namespace {

TEST(ShareTarget, APortAHostAndPortOrNothingAreAcceptedAndAnythingElseRefused) {
  const std::tuple<const char*, const char*, unsigned> good[] = {
      {"", "", kDefaultSharePort},
      {"0", "", 0},
      {"65535", "", 65535},
      {"127.0.0.1:9000", "127.0.0.1", 9000}};
  std::string host;
  unsigned port = 1;
  for (const auto& [target, wantHost, wantPort] : good)
    EXPECT_TRUE(ParseShareTarget(target, &host, &port) && host == wantHost && port == wantPort)
        << target << " gave " << host << ":" << port;
  for (const char* bad :
       {"65536", "-1", "80x", "x", ":80", "school:80", "127.0.0.1:", "1.2.3.4:99999"})
    EXPECT_FALSE(ParseShareTarget(bad, &host, &port)) << bad;
}

}  // namespace
