#include "common/config_template.h"

#include <map>
#include <set>

#include "platform/text.h"

namespace tovin {
namespace {

std::string Folder(const std::string& member) {
  size_t cut = member.rfind('\\');
  return cut == std::string::npos ? std::string() : member.substr(0, cut);
}

std::string Bare(const std::string& member) { return member.substr(member.rfind('\\') + 1); }

bool HasExtension(const std::string& member, const std::set<std::string>& extensions) {
  size_t dot = member.rfind('.');
  return dot != std::string::npos && extensions.count(plat::UpperCase(member.substr(dot + 1)));
}

}  // namespace

std::string MakeInstallConfig(const TProductFolder& product) {
  const std::string& name = product.Name;
  std::vector<std::string> files;
  for (const auto& m : product.Members) {
    std::string upper = plat::UpperCase(m);
    if (upper != "INSTALL.CFG" && upper != "INSTALL.EXE") files.push_back(m);
  }
  // A tag per folder, in the order the folders first appear.
  std::map<std::string, std::string> tags{{"", "<INSTALLDIR>"}};
  std::vector<std::string> folders;
  for (const auto& f : files) {
    std::string folder = Folder(f);
    if (!tags.count(folder)) {
      tags[folder] = "<SUB" + std::to_string(folders.size() + 1) + ">";
      folders.push_back(folder);
    }
  }
  std::string program, picture, licence;
  for (const auto& f : files) {
    if (program.empty() && HasExtension(f, {"EXE"})) program = f;
    if (picture.empty() && Folder(f).empty() && HasExtension(f, {"BMP", "ICO", "WMF", "EMF"})) picture = f;
    if (plat::UpperCase(Bare(f)) == "LICENSE.TXT") licence = f;
  }

  std::string t;
  auto line = [&t](const std::string& text) { t += text + "\r\n"; };
  line("; The setup of " + name + ", first written by tovin init. Each key is explained in the");
  line("; install.cfg reference of Tovin Setup (docs/install-cfg.md); `tovin config --strict` checks");
  line("; this file and `tovin pack --strict` packs the folder with it.");
  line("");
  line("[Setup - Main]");
  line("; The wizard proposes C:\\Program Files\\ + Install Dir as the destination.");
  line("Install Dir=" + name);
  line("Add to Program Files=1");
  line("; Started at the end when the user keeps \"Launch Program after installed\"; empty: none.");
  line("Launch=" + (program.empty() ? std::string() : tags[Folder(program)] + Bare(program)));
  line("; The Start-menu folder offered for the shortcuts of [Desktop].");
  line("Folder=" + name);
  line("; 1 offers (and, without a Launch program, preselects) restarting Windows at the end.");
  line("Show Re-Boot=0");
  line("; The title on the background, also the product's name in Add/Remove Programs.");
  line("Header=" + name);
  if (!picture.empty()) {
    line("; A picture of the package shown on the background (.bmp, .ico, .wmf or .emf).");
    line("Bitmap File=" + Bare(picture));
  }
  if (licence.empty()) line("; Add a license.txt of two lines or more to show a licence page.");
  line("");
  line("[Directories]");
  line("; <INSTALLDIR> is the destination the user picks; each folder below it gets a <SUBn> tag.");
  line("Dir1=<INSTALLDIR>~");
  for (size_t i = 0; i < folders.size(); ++i)
    line("Dir" + std::to_string(i + 2) + "=" + tags[folders[i]] + "~" + folders[i]);
  line("");
  line("[Files]");
  line("; file name~tag of its folder. Only the file name counts: the setup expands the package");
  line("; into one folder, so two files of one name keep only the later.");
  for (size_t i = 0; i < files.size(); ++i)
    line("File" + std::to_string(i + 1) + "=" + Bare(files[i]) + "~" + tags[Folder(files[i])]);
  line("");
  line("[Files - OverWrite]");
  line("; File #N=1 asks before replacing an existing copy of the N-th entry of [Files] (from 0).");
  line("");
  line("[Desktop]");
  line("; name~<TAG>program~X on the desktop~X in the Start menu~<TAG>icon file");
  if (!program.empty()) {
    std::string target = tags[Folder(program)] + Bare(program);
    line("Icon1=" + name + "~" + target + "~X~X~" + target);
  }
  return t;
}

}  // namespace tovin
