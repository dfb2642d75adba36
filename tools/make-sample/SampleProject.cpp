#include "SampleProject.h"

#include <filesystem>
#include <system_error>

#include "SampleBitmaps.h"
#include "SampleDatabase.h"
#include "SampleMoreStages.h"
#include "SampleMusic.h"
#include "SamplePalette.h"
#include "SampleSounds.h"
#include "SampleStage.h"
#include "SampleSystem.h"
#include "SampleWorldMap.h"
#include "gamedata/DataPaths.h"
#include "gamedata/Option.h"
#include "gamedata/ProjectRefs.h"
#include "gamedata/Record.h"
#include "platform/fs.h"
#include "ui/KeyConfig.h"

namespace sample {

bool ProjectWriter::Fail(std::string_view what, std::string_view path) {
  if (m_strError.empty()) m_strError = std::string(what) + " " + plat::fs::toNative(path);
  return false;
}

bool ProjectWriter::Folder(std::string_view path) {
  if (Failed()) return false;
  if (plat::fs::isDirectory(path) || plat::fs::makeDirectory(path)) return true;
  return Fail("cannot make the folder", path);
}

bool ProjectWriter::File(std::string_view path, std::string_view bytes) {
  if (Failed()) return false;
  if (!plat::fs::writeFileAtomic(path, bytes)) return Fail("cannot write", path);
  m_Written.emplace_back(path);
  return true;
}

bool ProjectWriter::Record(cRecord& record, std::string_view path) {
  if (Failed()) return false;
  return Check(record.SaveToFile(path) != 0, path);
}

bool ProjectWriter::Check(bool ok, std::string_view path) {
  if (!ok) return Fail("cannot write", path);
  m_Written.emplace_back(path);
  return true;
}

namespace {

// Puts the current directory back whatever happens.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& to, std::error_code& ec)
      : m_Old(std::filesystem::current_path(ec)) {
    if (!ec) std::filesystem::current_path(to, ec);
    m_bChanged = !ec;
    plat::fs::invalidateCache();
  }
  ~CurrentDirectory() {
    std::error_code ec;
    if (m_bChanged) std::filesystem::current_path(m_Old, ec);
    plat::fs::invalidateCache();
  }
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path m_Old;
  bool m_bChanged = false;
};

void WriteFolders(ProjectWriter& w) {
  for (const char* f : {"bmp", "bmp\\plt", "bmp\\back", "bmp\\effect", "bmp\\hbt", "bmp\\picture", "wave", "bgm",
                        "default", "default\\database", "default\\stg4", "user_data"})
    w.Folder(f);
}

// The display settings: Direct3D in a window with vertical sync; keys are the names of
// the project's setting descriptors, and the file must end with "Exit".
void WriteSystemIni(ProjectWriter& w) {
  w.File("System.ini", "Direct3D=1\nWindowMode=1\nBpp=0\nVSync=1\nShowFps=0\nExit\n");
}

void WritePictures(ProjectWriter& w) {
  for (const BitmapFile& f : SampleBitmaps()) w.File(f.path, f.picture.EncodeBmp());
}

// One blend table a palette option; read only in the 8-bit mode.
void WriteBlendTables(ProjectWriter& w) {
  const std::vector<BlendTable> tables = MakeBlendTables();
  for (int n = 0; n < static_cast<int>(tables.size()); ++n) {
    const BlendTable& table = tables[n];
    const std::string name = std::string("bmp\\hbt\\hbt") + char('0' + n / 10) + char('0' + n % 10) + ".dat";
    w.File(name, std::string_view(reinterpret_cast<const char*>(table.data()), table.size()));
  }
}

void WriteSounds(ProjectWriter& w) {
  for (const SoundFile& f : SampleSounds()) w.File(f.path, f.bytes);
  for (const MusicFile& f : SampleMusic()) w.File(f.path, f.bytes);
}

void WriteUserData(ProjectWriter& w) {
  cOption option;
  option.SetDefaults();
  w.Record(option, g_PathTable[PATH_OPTION]);
  KEYCONFIG keys{};
  SetDefaultKeyConfig(keys);
  const auto image = EncodeKeyConfig(keys);
  w.File(g_PathTable[PATH_KEY_CONFIG], std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

// The records check what they refer to against the loaded project as they are saved:
// the databases first, then the system settings, the world map, the common palette and
// the stages, as start-up loads them.
void WriteDefaultData(ProjectWriter& w) {
  InstallDataRefs();
  BuildDatabase(g_Database);
  SaveDatabase(g_Database, w);
  BuildSystem(g_System);
  w.Record(g_System, g_PathTable[PATH_SYSTEM + 1]);
  cEdWorldMap map;
  BuildWorldMap(map);
  w.Record(map, g_PathTable[PATH_WORLD_MAP + 1]);
  BuildCommonPalette(g_CommonPalette);
  w.Record(g_CommonPalette, g_PathTable[PATH_COMMON_PALETTE + 1]);
  BuildStage(g_Stage);
  w.Record(g_Stage, STORY_STAGE_FILE);
  BuildStage2(g_Stage);
  w.Record(g_Stage, STORY_STAGE2_FILE);
  BuildSkyStage(g_Stage);
  w.Record(g_Stage, SKY_STAGE_FILE);
  BuildBossStage(g_Stage);
  w.Record(g_Stage, BOSS_STAGE_FILE);
  BuildChallenge1(g_Stage);
  w.Record(g_Stage, CHALLENGE_STAGE_FILE);
  BuildChallenge2(g_Stage);
  w.Record(g_Stage, CHALLENGE2_STAGE_FILE);
  BuildGallery(g_Stage);
  w.Record(g_Stage, GALLERY_STAGE_FILE);
}

}  // namespace

bool MakeSampleProject(const std::string& nativeFolder, std::vector<std::string>* written, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  std::error_code ec;
  std::filesystem::create_directories(nativeFolder, ec);
  if (ec) return fail("cannot make the folder " + nativeFolder + ": " + ec.message());
  CurrentDirectory here(nativeFolder, ec);
  if (ec) return fail("cannot enter the folder " + nativeFolder + ": " + ec.message());

  g_nDataVersion = CURRENT_DATA_VERSION;
  ProjectWriter w;
  WriteFolders(w);
  WriteSystemIni(w);
  WritePictures(w);
  WriteBlendTables(w);
  WriteSounds(w);
  WriteDefaultData(w);
  WriteUserData(w);
  if (written) *written = w.Written();
  if (w.Failed()) return fail(w.Error());
  return true;
}

}  // namespace sample
