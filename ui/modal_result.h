// The answer a modal form ends with.
#pragma once

namespace tovin::ui {

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

}  // namespace tovin::ui
