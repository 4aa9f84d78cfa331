#include "typinglimit.h"

#include <QLineEdit>
#include <QValidator>

#include <algorithm>

namespace {

// A validator sees every change, the program's setText too; only the user's
// edits leave the edit modified while it runs.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* edit, int maxChars) : QValidator(edit), edit_(edit), max_(maxChars), before_(edit->text())
    {
        connect(edit, &QLineEdit::textChanged, this, [this] { before_ = edit_->text(); });
    }

    State validate(QString& input, int& pos) const override
    {
        const auto excess = input.size() - std::max<qsizetype>(max_, before_.size());
        if (excess <= 0 || !edit_->isModified())
            return Acceptable;
        if (pos < excess)
            return Invalid;
        // What fits is kept, as QLineEdit's own limit does: the end of what
        // was typed or pasted, just before the caret, is dropped.
        input.remove(pos - excess, excess);
        pos -= static_cast<int>(excess);
        return Acceptable;
    }

private:
    QLineEdit* edit_;
    int max_;
    QString before_; // the text before the change being validated
};

} // namespace

void LimitTyping(QLineEdit* edit, int maxChars) { edit->setValidator(new TypingLimit(edit, maxChars)); }
