#include "forms.h"

#include "dialogs/comform.h"
#include "dialogs/cwidform.h"
#include "dialogs/fskform.h"
#include "dialogs/placeholders.h"
#include "dialogs/qskform.h"
#include "dialogs/ratioform.h"
#include "dialogs/repeatform.h"
#include "dialogs/seltextform.h"
#include "dialogs/speedform.h"
#include "dialogs/starttimeform.h"
#include "dialogs/syncform.h"
#include "dialogs/textform.h"
#include "dialogs/toneform.h"
#include "dialogs/warnform.h"
#include "help/aboutform.h"
#include "help/copyrightform.h"
#include "help/exitform.h"
#include "help/interfaceform.h"
#include "help/moreaboutform.h"
#include "help/more2form.h"
#include "keyform.h"
#include "tonegen/tonegen.h"
#include "mainform.h"
#include "settings/settings.h"
#include "widgets/msgform.h"

#include <QWidget>

#include <functional>
#include <memory>

TTimeForm* TimeForm = nullptr;

namespace {

// Top-level windows have no parent; this list owns them, in creation order,
// with what clears each one's global reference.
struct Created {
    std::unique_ptr<QWidget> form;
    std::function<void()> forget;
};
std::vector<Created> created;

// The transmit window's tone generators: MyToneGen for the message elements,
// FastToneGen for the identification; created before the window, in this
// order, and destroyed after it in the reverse order.
std::unique_ptr<TMyToneGen> MyToneGen;
std::unique_ptr<TToneGen> FastToneGen;

template <class Form, class... Args>
void Create(Form*& global, Args&&... args)
{
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    global = form.get();
    created.push_back({std::move(form), [&global] { global = nullptr; }});
}


} // namespace

void CreateForms(Clock& clock, SoundPlayer& player, const std::vector<std::string>& args)
{
    MyToneGen = std::make_unique<TMyToneGen>(player);
    MyToneGen->SetFrequency(440.0);
    MyToneGen->SetDuration(10000);
    MyToneGen->Loop = true;
    FastToneGen = std::make_unique<TToneGen>(player);
    FastToneGen->SetDuration(1000);
    FastToneGen->SetAttack(20);
    FastToneGen->SetHold(60);
    FastToneGen->SetDecay(0);
    FastToneGen->SetRelease(20);
    FastToneGen->Loop = true;

    Create(SlowCwForm, clock, args);
    Create(CopyrightForm);
    Create(TextForm);
    Create(ComForm);
    Create(SpeedForm);
    Create(SelTextForm);
    Create(StartTimeForm, clock);
    Create(KeyForm, clock, *MyToneGen, *FastToneGen);
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
    // The port dialog's opening and release runs are the transmit window's.
    PortRunner = [](std::uint8_t runKind) {
        RunKind = runKind;
        KeyForm->exec();
    };
}

void DestroyForms()
{
    PortRunner = nullptr;
    while (!created.empty()) {
        created.back().forget();
        created.pop_back();
    }
    FastToneGen.reset();
    MyToneGen.reset();
}
