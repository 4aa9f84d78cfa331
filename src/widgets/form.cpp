#include "form.h"

#include "settings/settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

bool ending = false;

} // namespace

TForm::TForm(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void TForm::done(int result)
{
    if (!FormCloseQuery())
        return;
    QDialog::done(result);
}

int TForm::exec()
{
    if (ending) {
        DialogCancelled = true;
        return Rejected;
    }
    return QDialog::exec();
}

void TForm::CancelForEnd()
{
    if (cancelButton_ != nullptr && cancelButton_->isVisible() && cancelButton_->isEnabled())
        cancelButton_->click();
    DialogCancelled = true;
    if (isVisible())
        done(Rejected);
    if (isVisible())
        QDialog::done(Rejected);
}

void CancelAllForms()
{
    ending = true;
    // A window hides when it closes, which takes it off the modal stack. The
    // bound is only against a window that will not go.
    for (int n = 0; n < 64; ++n) {
        QWidget* top = QApplication::activeModalWidget();
        if (top == nullptr)
            break;
        if (auto* form = qobject_cast<TForm*>(top))
            form->CancelForEnd();
        else if (auto* dialog = qobject_cast<QDialog*>(top))
            dialog->reject();
        if (top->isVisible())
            top->hide();
    }
    DialogCancelled = true;
}

QPushButton* TForm::MakeButton(const QString& caption, int result, std::function<void()> handler)
{
    auto* button = new QPushButton(caption, this);
    connect(button, &QPushButton::clicked, this, [this, handler = std::move(handler), result] {
        if (handler)
            handler();
        done(result);
    });
    return button;
}

void TForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (activated_ || event->spontaneous())
        return;
    activated_ = true;
    FormActivate(); // may size the window
    CentreOnScreen(this);
}

void TForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        activated_ = false;
}

void TForm::closeEvent(QCloseEvent* event)
{
    done(QDialog::Rejected);
    if (isVisible())
        event->ignore();
    else
        event->accept();
}

void TForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (cancelButton_ != nullptr && cancelButton_->isVisible() && cancelButton_->isEnabled())
            cancelButton_->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString FromBytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text)
{
    const QByteArray latin1 = text.toLatin1();
    return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

void CentreOnScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

QColor ButtonFaceColor()
{
    return QApplication::palette().color(QPalette::Button);
}

int FitToText(QWidget* control, QWidget* follower)
{
    const QSize hint = control->sizeHint();
    const int growth = std::max(0, hint.width() - control->width());
    control->resize(control->width() + growth, std::max(control->height(), hint.height()));
    if (growth > 0 && follower != nullptr)
        follower->move(follower->x() + growth, follower->y());
    return growth;
}

void FitLabel(QLabel* label, int minWidth, int maxWidth)
{
    label->setWordWrap(false);
    const QSize natural = label->sizeHint();
    const bool wrap = natural.width() > maxWidth;
    const int width = std::max(minWidth, wrap ? maxWidth : natural.width());
    label->setWordWrap(wrap);
    label->resize(width, wrap ? label->heightForWidth(width) : natural.height());
}

QSize SizeForChildren(const QWidget* window, QSize design, int margin)
{
    QSize size = design;
    for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisibleTo(window) || child->isWindow())
            continue;
        const QRect r = child->geometry();
        size = size.expandedTo(QSize(r.right() + 1 + margin, r.bottom() + 1 + margin));
    }
    return size;
}

int ScreenRoom()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry().width() - 40 : 4096;
}
