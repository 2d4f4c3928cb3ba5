#include "ProgramAssembly.h"

#include "AppState.h"
#include "CArtwork.h"
#include "DisplayWindows.h"
#include "MWindowUtil.h"
#include "frmOption.h"

namespace ProgramAssembly {

void Install()
{
    AppState& app = App();
    app.gMakeOptions = [](ScaleSession& session, DisplayWindows& windows) -> QWidget* {
        QList<frmOption::Skin> skins;
        for (int i = 0; i < CArtwork::SkinCount(); ++i)
            skins.append({CArtwork::SkinPicture(i), CArtwork::SkinName(i)});
        auto* options = new frmOption(session, std::move(skins));
        options->setWindowIcon(CArtwork::AppIcon());
        QObject::connect(options, &frmOption::Unloaded, options, [] { MWindowUtil::EnableForms(); });
        windows.showOptions = [options] {
            // Already open: loading again would take a new backup copy under the user's edits.
            if (options->isVisible()) {
                options->raise();
                options->activateWindow();
                return;
            }
            options->Form_Load();
            MWindowUtil::ShowModal(options, false, true);
        };
        return options;
    };
}

} // namespace ProgramAssembly
