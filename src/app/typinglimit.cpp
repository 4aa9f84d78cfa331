#include "typinglimit.h"

#include <QLineEdit>
#include <QValidator>

namespace {

// A validator sees every change, the program's setText too; only the user's
// edits leave the edit modified while it runs.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* edit, int maxChars) : QValidator(edit), edit_(edit), max_(maxChars), before_(edit->text())
    {
        connect(edit, &QLineEdit::textChanged, this, [this] { before_ = edit_->text(); });
    }

    State validate(QString& input, int&) const override
    {
        const bool longer = input.size() > max_ && input.size() > before_.size();
        return longer && edit_->isModified() ? Invalid : Acceptable;
    }

private:
    QLineEdit* edit_;
    int max_;
    QString before_; // the text before the change being validated
};

} // namespace

void LimitTyping(QLineEdit* edit, int maxChars) { edit->setValidator(new TypingLimit(edit, maxChars)); }
