#include "forms.h"

#include "dialogs/placeholders.h"
#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "dialogs/textform.h"
#include "help/exitform.h"
#include "keying/keyform.h"
#include "keying/tone.h"
#include "mainform.h"
#include "msgform.h"

#include <QWidget>

#include <functional>
#include <memory>

TComForm* ComForm = nullptr;
TSelTextForm* SelTextForm = nullptr;
TRepeatForm* RepeatForm = nullptr;
TQskForm* QskForm = nullptr;
TRatioForm* RatioForm = nullptr;
TWarnForm* WarnForm = nullptr;
TToneForm* ToneForm = nullptr;
TFSKForm* FSKForm = nullptr;
TCwIdForm* CwIdForm = nullptr;
TSyncForm* SyncForm = nullptr;
TTimeForm* TimeForm = nullptr;
TCopyrightForm* CopyrightForm = nullptr;
TAboutForm* AboutForm = nullptr;
TInterfaceForm* InterfaceForm = nullptr;
TMoreAboutForm* MoreAboutForm = nullptr;
TMore2Form* More2Form = nullptr;

namespace {

// Top-level windows have no parent; this list owns them, in creation order,
// with what clears each one's global reference.
struct Created {
    std::unique_ptr<QWidget> form;
    std::function<void()> forget;
};
std::vector<Created> created;

// The transmit window's tone outputs: silent until a sound card player exists.
SilentTone myTone, fastTone;

template <class Form, class... Args>
void Create(Form*& global, Args&&... args)
{
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    global = form.get();
    created.push_back({std::move(form), [&global] { global = nullptr; }});
}


} // namespace

void CreateForms(Clock& clock, const std::vector<std::string>& args)
{
    Create(SlowCwForm, clock, args);
    Create(CopyrightForm);
    Create(TextForm);
    Create(ComForm);
    Create(SpeedForm);
    Create(SelTextForm);
    Create(StartTimeForm, clock);
    Create(KeyForm, clock, myTone, fastTone);
    Create(ExitForm);
    Create(RepeatForm);
    Create(MsgForm);
    Create(AboutForm);
    Create(InterfaceForm);
    Create(MoreAboutForm);
    Create(More2Form);
    Create(QskForm);
    Create(RatioForm);
    Create(WarnForm);
    Create(ToneForm);
    Create(FSKForm);
    Create(CwIdForm);
    Create(SyncForm);
    Create(TimeForm);
}

void DestroyForms()
{
    while (!created.empty()) {
        created.back().forget();
        created.pop_back();
    }
}
