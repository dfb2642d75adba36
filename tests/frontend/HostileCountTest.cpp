// A damaged or hostile file may not make a load build far more than the file holds.
// The test binary counts its heap: every allocation goes through the operators below,
// which keep the bytes in use and their peak.
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

#include "records/FrontendTestUtil.h"
#include "records/KeyLog.h"
#include "records/Ranking.h"
#include "gamedata/Anime.h"
#include "gamedata/Database.h"
#include "gamedata/Palette.h"
#include "gamedata/WorldMap.h"

namespace {

std::atomic<std::size_t> g_nInUse{0};
std::atomic<std::size_t> g_nPeak{0};

void* Counted(std::size_t n, std::size_t align = 0) {
  void* p = align ? std::aligned_alloc(align, (n + align - 1) / align * align) : std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  const std::size_t now = g_nInUse += malloc_usable_size(p);
  for (std::size_t peak = g_nPeak.load(); now > peak && !g_nPeak.compare_exchange_weak(peak, now);) {}
  return p;
}

void Uncounted(void* p) {
  if (!p) return;
  g_nInUse -= malloc_usable_size(p);
  std::free(p);
}

}  // namespace

void* operator new(std::size_t n) { return Counted(n); }
void* operator new[](std::size_t n) { return Counted(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return Counted(n);
  } catch (...) { return nullptr; }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void* operator new(std::size_t n, std::align_val_t a) { return Counted(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return Counted(n, static_cast<std::size_t>(a)); }
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete[](void* p) noexcept { Uncounted(p); }
void operator delete(void* p, std::size_t) noexcept { Uncounted(p); }
void operator delete[](void* p, std::size_t) noexcept { Uncounted(p); }
void operator delete(void* p, std::align_val_t) noexcept { Uncounted(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Uncounted(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Uncounted(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Uncounted(p); }

namespace {

class HostileCountTest : public fe::FrontendFixture {};

constexpr std::size_t kFileBytes = std::size_t{4} << 20;

// The peak of heap bytes the load adds to what was in use before it.
std::size_t PeakOf(const std::function<void()>& load) {
  const std::size_t before = g_nInUse.load();
  g_nPeak.store(before);
  load();
  return g_nPeak.load() - before;
}

// The version, nZeros words 0, one count that the bytes left can hold for the smallest
// elements, then fill up to kFileBytes.
std::string Hostile(std::uint32_t nVersion, int nZeros, std::uint32_t nCount, char fill) {
  rt::Bytes b;
  b.u32(nVersion);
  for (int i = 0; i < nZeros; ++i) b.u32(0);
  b.u32(nCount);
  b.s.resize(kFileBytes, fill);
  return b.s;
}

template <class T>
std::function<void(cDataReader&)> Database() {
  return [](cDataReader& in) {
    cVector<T> list;
    LoadDatabaseList(in, list);
  };
}

TEST_F(HostileCountTest, EveryListBearingFileStaysWithinASmallMultipleOfItsSize) {
  struct Kind {
    const char* name;
    std::function<void(cDataReader&)> load;
    bool bDatabase;
    std::uint32_t nVersion = 513;
  };
  cEdStage stage, startStage;
  cPlayRecord record;
  const Kind kinds[] = {
      {"stage", [&](cDataReader& in) { stage.Load(in); }, false},
      {"common palette", [](cDataReader& in) { cEdPalette().Load(in); }, false},
      {"system", [](cDataReader& in) { cEdSystem().Load(in); }, false},
      {"play record", [&](cDataReader& in) { record.Load(in); }, false},
      {"rankings", [](cDataReader& in) { cRankingSet().Load(in); }, false},
      {"replay", [&](cDataReader& in) { cKeyLog().LoadReplayFrom(in, stage, startStage, record); }, false},
      {"world map", [](cDataReader& in) { cEdWorldMap().Load(in); }, false},
      {"animation sets", Database<cEdAnimeSet>(), true},
      // Files before the flying slots get four slots per set, made by the upgrade.
      {"animation sets of version 118", Database<cEdAnimeSet>(), true, 118},
      {"animations", Database<cEdAnime>(), true},
      {"character bitmaps", Database<cEdBmpCharaExc>(), true},
      {"sword types", Database<cEdSwordType>(), true},
      {"effects", Database<cEdEffect>(), true},
      {"character effects", Database<cEdCharaEffect>(), true},
      {"screen effects", Database<cEdScrEffect>(), true},
      {"pictures", Database<cEdPicture>(), true},
      {"sounds", Database<cEdSound>(), true},
      {"music", Database<cEdBgm>(), true},
  };
  for (const Kind& kind : kinds) {
    // A record file's lists follow its body (no members, no strings here): the count
    // goes into each of the first list places in turn, earlier lists left empty. Zeros
    // after it read as the smallest elements there are; 7F bytes as damaged ones.
    const int nPlaces = kind.bDatabase ? 1 : 24;
    for (int nPlace = 0; nPlace < nPlaces; ++nPlace) {
      // A count the file's bytes allow, and one small enough for the charge of large
      // elements to let it through.
      for (std::size_t nCount : {kFileBytes / 16, kFileBytes / 128}) {
        for (char fill : {'\0', '\x7f'}) {
          SCOPED_TRACE(::testing::Message()
                       << kind.name << ", list place " << nPlace << ", count " << nCount << ", fill " << int(fill));
          // A database file is its list; a record file has N = 0 and S = 0 first.
          std::string bytes =
              Hostile(kind.nVersion, kind.bDatabase ? 0 : 2 + nPlace, static_cast<std::uint32_t>(nCount), fill);
          const std::size_t peak = PeakOf([&] {
            std::unique_ptr<cDataReader> in = OpenLoadData(std::move(bytes));
            kind.load(*in);
          });
          // The smallest valid elements take up to 7 times their bytes in memory; the
          // loads stay within 16 times the file (64 MiB for these 4 MiB).
          EXPECT_LT(peak, 16 * kFileBytes);
        }
      }
    }
  }
}

}  // namespace
