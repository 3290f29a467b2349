// The Windows numbers a mail caller is told for what the endpoint and
// network services report in errno: the numbers the suite's programs
// compare their last error with.
#include <gtest/gtest.h>

#include <cerrno>
#include <xtbasis/platform/lasterror.h>

#include "mailhandles.h"

namespace {

using xtb::mail::Channel;

DWORD ToldFor(int error, Channel channel) {
  SetLastError(0xC0FFEE);
  errno = error;
  EXPECT_FALSE(xtb::mail::FailedOn(channel));
  return GetLastError();
}

TEST(MailFailureNumbers, LocalEndpointsAreToldAsPipesAndMailslotsAre) {
  for (Channel local : {Channel::LocalEndpoint, Channel::LocalConnection}) {
    EXPECT_EQ(ToldFor(ENOENT, local), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ToldFor(EAGAIN, local), static_cast<DWORD>(ERROR_PIPE_BUSY)) << "a listener's full queue";
    EXPECT_EQ(ToldFor(EEXIST, local), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ToldFor(EACCES, local), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ToldFor(EBUSY, local), static_cast<DWORD>(ERROR_BUSY));
    EXPECT_EQ(ToldFor(ETIMEDOUT, local), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(ToldFor(EMSGSIZE, local), static_cast<DWORD>(ERROR_WRITE_FAULT));
    EXPECT_EQ(ToldFor(ECONNREFUSED, local), xtb::WinErrorFromErrno(ECONNREFUSED)) << "no computer to reach";
  }
}

TEST(MailFailureNumbers, ComputersThatCannotBeReachedAreABadNetworkPath) {
  for (Channel network : {Channel::NetworkDatagram, Channel::NetworkStream}) {
    for (int unreachable : {EHOSTUNREACH, ECONNREFUSED, ECONNRESET, ENETUNREACH, EADDRNOTAVAIL})
      EXPECT_EQ(ToldFor(unreachable, network), static_cast<DWORD>(ERROR_BAD_NETPATH)) << unreachable;
    EXPECT_EQ(ToldFor(EAGAIN, network), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(ToldFor(ETIMEDOUT, network), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(ToldFor(EPIPE, network), static_cast<DWORD>(ERROR_BROKEN_PIPE)) << "the router ended the stream";
    EXPECT_EQ(ToldFor(EMSGSIZE, network), static_cast<DWORD>(ERROR_WRITE_FAULT));
    EXPECT_EQ(ToldFor(EMFILE, network), static_cast<DWORD>(ERROR_TOO_MANY_OPEN_FILES));
  }
}

}  // namespace
