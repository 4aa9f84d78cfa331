// TMore2Form: one help page, chosen by HelpTopic before the page is shown.
#pragma once

#include "widgets/form.h"

#include <cstdint>

class QPlainTextEdit;
class QPushButton;

// The topic code the help index hands to the help page.
extern std::uint8_t HelpTopic;

class TMore2Form : public TForm {
    Q_OBJECT
public:
    explicit TMore2Form(QWidget* parent = nullptr);

    QPlainTextEdit* HelpMemo;
    QPushButton* ContinueBitBtn;

    // Line `index` (0 to 13) of the memo.
    QString Line(int index) const;

protected:
    void FormActivate() override;

private:
    void SetLine(int index, const QString& text);
};

extern TMore2Form* More2Form;
