#include <gtest/gtest.h>

#include "app/board_share.h"
#include "share/share_server.h"

namespace {

TEST(ShareTarget, APortAHostAndPortOrNothingAreAcceptedAndAnythingElseRefused) {
  std::string host;
  unsigned port = 1;
  EXPECT_TRUE(ParseShareTarget("", &host, &port));
  EXPECT_EQ(port, kDefaultSharePort);
  EXPECT_TRUE(host.empty());
  EXPECT_TRUE(ParseShareTarget("0", &host, &port));
  EXPECT_EQ(port, 0u);
  EXPECT_TRUE(ParseShareTarget("65535", &host, &port));
  EXPECT_EQ(port, 65535u);
  EXPECT_TRUE(ParseShareTarget("127.0.0.1:9000", &host, &port));
  EXPECT_EQ(host, "127.0.0.1");
  EXPECT_EQ(port, 9000u);
  for (const char* bad :
       {"65536", "-1", "80x", "x", ":80", "school:80", "127.0.0.1:", "1.2.3.4:99999"})
    EXPECT_FALSE(ParseShareTarget(bad, &host, &port)) << bad;
}

}  // namespace
