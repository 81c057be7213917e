#include "gui/app/UiErrors.h"

#include <QMessageBox>

#include "core/app/SilentAbort.h"

namespace pelvano::gui {

void ErrorFolding::add(const std::string& text) {
    for (Entry& e : entries_) {
        if (e.text == text) {
            ++e.count;
            return;
        }
    }
    entries_.push_back({text, 1});
}

std::string ErrorFolding::boxText() const {
    std::string out;
    for (const Entry& e : entries_) {
        if (!out.empty()) out += '\n';
        out += e.text;
        if (e.count > 1) out += " (\u00d7" + std::to_string(e.count) + ")";
    }
    return out;
}

std::string ExceptionText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

UiErrors::~UiErrors() {
    delete box_.data();
}

void UiErrors::report(const std::string& text) {
    ++reportCount_;
    // A log sink that throws must not bring the loop down, nor report itself forever.
    if (logSink_ && !reporting_) {
        reporting_ = true;
        try {
            logSink_(text);
        } catch (...) {
        }
        reporting_ = false;
    }
    folding_.add(text);
    showBox();
}

void UiErrors::reportCurrentException() {
    const std::exception_ptr error = std::current_exception();
    try {
        std::rethrow_exception(error);
    } catch (const core::SilentAbort&) {
        ++silentAborts_;
        return;
    } catch (...) {
    }
    report(ExceptionText(error));
}

void UiErrors::runGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        reportCurrentException();
    }
}

std::function<void()> UiErrors::guarded(std::function<void()> handler) {
    return [this, h = std::move(handler)] { runGuarded(h); };
}

void UiErrors::showBox() {
    if (!box_) {
        // Not modal to anything: the playout's timers and the other windows go on.
        box_ = new QMessageBox(QMessageBox::Critical, QStringLiteral("Pelvano"), QString());
        box_->setWindowModality(Qt::NonModal);
        box_->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the box starts a fresh count for the next error.
        QObject::connect(box_, &QMessageBox::finished, box_, [this] { folding_.clear(); });
    }
    box_->setText(QString::fromStdString(folding_.boxText()));
    if (showBoxes_ && !box_->isVisible()) box_->show();
}

QString UiErrors::boxText() const {
    return box_ ? box_->text() : QString();
}

bool UiErrors::boxOpen() const {
    return box_ && (box_->isVisible() || !showBoxes_);
}

}  // namespace pelvano::gui
