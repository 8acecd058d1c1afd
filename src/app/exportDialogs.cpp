#include "app/exportDialogs.h"

#include <memory>

#include "app/notifyForm.h"
#include "app/progressForm.h"
#include "widgets/FSProgressBar.h"

namespace app {

namespace {

class TProgressWindow : public exporting::TExportProgress {
public:
    TProgressWindow(QWidget* owner, int count)
        : window_(owner)
    {
        window_.ProgressBar->SetMax(count);
        window_.Open();
    }
    void SetPosition(int n) override { window_.SetPosition(n); }

private:
    TprogressDlg window_;
};

}  // namespace

exporting::TExportWindows ExportDialogs()
{
    exporting::TExportWindows windows;
    windows.OpenProgress = [](QWidget* owner, int count) -> std::unique_ptr<exporting::TExportProgress> {
        return std::make_unique<TProgressWindow>(owner, count);
    };
    windows.Notify = &ShowNotify;
    return windows;
}

}  // namespace app
