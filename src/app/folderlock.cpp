#include "folderlock.h"

#include "widgets/form.h"
#include "headless.h"
#include "widgets/msgform.h"
#include "settings/settingslock.h"

#include <cstdio>
#include <memory>

bool LockFolderForRun()
{
    const SettingsLock lock = LockSettingsFile();
    if (lock.state == SettingsLock::Held)
        return true;
    const std::string text = SettingsLockText(lock);
    std::fprintf(stderr, "vantrel: %s\n", text.c_str());
    if (lock.state == SettingsLock::Unavailable)
        return true;
    if (!Headless) {
        // Before the windows exist: a message dialog of its own.
        const auto form = std::make_unique<TMsgForm>();
        MsgForm = form.get();
        ShowMessageForm(QStringLiteral("Error"), FromBytes(text), ButtonFaceColor(), false);
        MsgForm = nullptr;
    }
    return false;
}
