// Writes the whole sample project into a folder: "System.ini", the pictures, sounds and
// music, the blend tables of the 8-bit mode, the project's data in "default\" (which the
// player copies to "data\" on its first start) and the user's default settings.
#pragma once
#include <string>
#include <string_view>
#include <vector>

class cRecord;

namespace sample {

// Collects what was written and the first failure.
class ProjectWriter {
 public:
  bool Folder(std::string_view path);
  bool File(std::string_view path, std::string_view bytes);
  bool Record(cRecord& record, std::string_view path);
  // Notes a file that another writer wrote (ok) or failed to write.
  bool Check(bool ok, std::string_view path);

  bool Failed() const { return !m_strError.empty(); }
  const std::string& Error() const { return m_strError; }
  const std::vector<std::string>& Written() const { return m_Written; }

 private:
  bool Fail(std::string_view what, std::string_view path);

  std::vector<std::string> m_Written;  // program-form paths of the files
  std::string m_strError;
};

// Makes the folder when it is missing and writes the project into it. The current
// directory is the folder while the project is written and is put back afterwards.
// False with the reason on the first file that cannot be written.
bool MakeSampleProject(const std::string& nativeFolder, std::vector<std::string>* written, std::string* error);

}  // namespace sample
