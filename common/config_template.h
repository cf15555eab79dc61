// A first install.cfg for a product folder, for an author to edit: every file under [Files]
// with <INSTALLDIR> or a <SUBn> tag for its folder, a shortcut to the first program, the licence
// and picture when the folder has them, and a comment on each setting.
#pragma once
#include <string>
#include <vector>

namespace tovin {

struct TProductFolder {
  std::string Name;                  // the product's name: the folder's name
  std::vector<std::string> Members;  // files relative to the folder, backslash-separated
};

std::string MakeInstallConfig(const TProductFolder& product);

}  // namespace tovin
