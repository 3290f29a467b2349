// Another account against shared regions: objects planted under a user's
// own names, headers that name more than their block, and a Global region
// truncated under its holders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xtbasis/sharedregion.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "second_account.h"

namespace {

std::string UniqueName(const char* what) {
  return std::string("XTRegionHostile\\") + what + "." + std::to_string(getpid());
}

// The object name of `name` for the account `uid`, as its processes name it.
std::string ObjectNameFor(const std::string& name, uid_t uid) {
  std::string object = RegionObjectName(name.c_str()).GetString();  // "/xtbasis-u<own uid>-..."
  return object.replace(0, object.find('-', 10), "/xtbasis-u" + std::to_string(uid));
}

// Makes the object `object` of `length` bytes, open to every account, whose
// header names `headerSize` data bytes.
bool PlantObject(const std::string& object, size_t length, int32_t headerSize) {
  const int fd = shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool made = fchmod(fd, 0666) == 0 && ftruncate(fd, static_cast<off_t>(length)) == 0 &&
              pwrite(fd, &headerSize, 4, 0) == 4;
  close(fd);
  return made;
}

struct ObjectFacts {
  bool exists = false;
  uid_t owner = 0;
  unsigned mode = 0;
};
ObjectFacts FactsOf(const std::string& object) {
  struct stat info {};
  ObjectFacts facts;
  if (stat(("/dev/shm" + object).c_str(), &info) != 0) return facts;
  return {true, info.st_uid, static_cast<unsigned>(info.st_mode & 07777)};
}

TEST(SharedRegionHostile, AnObjectPlantedUnderAUsersOwnNameIsReplaced) {
  if (geteuid() != 0) GTEST_SKIP() << "playing the account nobody needs root";
  const std::string name = UniqueName("planted");
  const std::string object = RegionObjectName(name.c_str()).GetString();
  ASSERT_TRUE(AsNobody([&] { return PlantObject(object, 4096, 4088); }));

  CXTSharedRegion region;
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 16)) << region.sGetLastError().GetString();
  EXPECT_TRUE(region.bIAmOwner());
  EXPECT_EQ(region.GetSize(), 16);
  std::memcpy(region.pGetData(), "geheim", 6);
  const ObjectFacts facts = FactsOf(object);
  EXPECT_TRUE(facts.exists && facts.owner == 0 && facts.mode == 0600) << std::oct << facts.mode;
  EXPECT_FALSE(AsNobody([&] {
    const int fd = shm_open(object.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd >= 0) close(fd);
    return fd >= 0;
  }));
}

TEST(SharedRegionHostile, AnObjectTheUserMayNotRemoveIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "playing the account nobody needs root";
  const std::string name = UniqueName("squatted");
  const std::string object = ObjectNameFor(name, kNobody);
  ASSERT_TRUE(PlantObject(object, 4096, 4088));  // root plays the other account
  EXPECT_TRUE(AsNobody([&] {
    CXTSharedRegion region;
    const bool refused = !region.AllocateRegion(name.c_str(), 16) && region.nGetLastError() == 999 &&
                         std::string(region.sGetLastError().GetString()) ==
                             "Fehler 5 bei der Anlage der shared region " + name;
    return refused && region.pGetData() == nullptr;
  }));
  shm_unlink(object.c_str());
}

TEST(SharedRegionHostile, AHeaderNamingMoreThanItsBlockIsRefusedAndLaterIgnored) {
  if (geteuid() != 0) GTEST_SKIP() << "playing the account nobody needs root";
  const std::string name = "Global\\" + UniqueName("header");
  const std::string object = RegionObjectName(name.c_str()).GetString();
  ASSERT_TRUE(AsNobody([&] { return PlantObject(object, 64, 1 << 30); }));
  // Planted objects have no holder: the first opener replaces them. Hold it.
  const int held = shm_open(object.c_str(), O_RDWR | O_CLOEXEC, 0);
  ASSERT_GE(held, 0);
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(held, F_OFD_SETLK, &lock), 0);

  CXTSharedRegion region;
  EXPECT_FALSE(region.AllocateRegion(name.c_str(), 16));
  EXPECT_EQ(std::string(region.sGetLastError().GetString()), "Fehler 13 bei der Anlage der shared region " + name);

  const int32_t fits = 56;
  ASSERT_EQ(pwrite(held, &fits, 4, 0), 4);
  ASSERT_TRUE(region.AllocateRegion(name.c_str(), 16)) << region.sGetLastError().GetString();
  EXPECT_EQ(region.GetSize(), 56);
  const int32_t hostile = 1 << 30;
  ASSERT_EQ(pwrite(held, &hostile, 4, 0), 4);
  EXPECT_EQ(region.GetSize(), 56);
  region.FreeRegion();
  close(held);
  shm_unlink(object.c_str());
}

TEST(SharedRegionHostile, AGlobalRegionTruncatedByAnotherAccountCostsNoLife) {
  if (geteuid() != 0) GTEST_SKIP() << "playing the account nobody needs root";
  const std::string name = "Global\\" + UniqueName("cut");
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CXTSharedRegion region;
        if (!region.AllocateRegion(name.c_str(), 3 * 4096)) std::exit(2);
        auto* data = static_cast<volatile char*>(region.pGetData());
        data[0] = 'a';
        data[2 * 4096] = 'b';
        const bool cut = AsNobody([&] {
          const int fd = shm_open(RegionObjectName(name.c_str()).GetString(), O_RDWR | O_CLOEXEC, 0);
          return fd >= 0 && ftruncate(fd, 0) == 0;
        });
        if (!cut) std::exit(3);
        const bool wasCutBefore = region.IsCut();
        const char read = data[2 * 4096];  // past the object's end now
        data[4096] = 'c';
        std::fprintf(stderr, "%d %d %d %d %c|\n", wasCutBefore, region.IsCut(), read, region.GetSize(), data[4096]);
        region.FreeRegion();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "0 1 0 0 c\\|");
}

}  // namespace
