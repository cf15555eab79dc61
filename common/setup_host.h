// What the preparing window and the wizard need of the background window that owns the run:
// the settings, the product's title, the picture placement, the temporary folder and the
// restart choice, and who hears of the progress.
#pragma once
#include <string>

#include "common/progress_observer.h"
#include "common/setup_settings.h"

namespace tovin {

namespace ui {
class TForm;
}

class TSetupHost {
 public:
  virtual ~TSetupHost() = default;
  virtual SetupSettings& Settings() = 0;
  // The header label's text: the product's title for the uninstall information.
  virtual std::string HeaderText() const = 0;
  virtual ui::TForm& BackgroundForm() = 0;
  virtual void ShowBitmap(const std::string& path) = 0;
  virtual void ClearTempDir() = 0;
  // Unchecks the wizard's restart choice (after a failed or aborted preparation).
  virtual void ClearRebootChoice() = 0;
  // Where the preparing window and the installation run report how far they are.
  virtual TProgressObserver& Progress() = 0;
};

}  // namespace tovin
