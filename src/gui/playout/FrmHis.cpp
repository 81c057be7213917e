#include "gui/playout/FrmHis.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/app/IniFile.h"
#include "core/app/TextHelpers.h"
#include "core/playout/Station.h"
#include "gui/app/AppContext.h"
#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

TFrmHis::TFrmHis(core::Station& station, QWidget* parent)
    : QWidget(parent, Qt::Window), station_(station) {
    setWindowTitle(QStringLiteral("详细播放过程记录"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mmHis_ = new QPlainTextEdit(this);
    mmHis_->setObjectName(QStringLiteral("mmHis"));
    mmHis_->setReadOnly(true);
    mmHis_->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmHis_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmHis_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmHis_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mmHis_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addAction(QStringLiteral("清除"), this, &TFrmHis::clearLog);
        menu->popup(mmHis_->mapToGlobal(pos));
    });
    layout->addWidget(mmHis_);

    // Placed from the settings with the resize notification off, so that reading writes nothing.
    const std::string& ini = station_.settings().file();
    const auto key = [&ini](const char* name, int def) {
        return core::StrToIntDef(core::IniRead(ini, "START", name), def);
    };
    move(0, 0);
    resize(key("WinHisW", kDesignClientWidth), key("WinHisH", kDesignClientHeight));
    move(key("WinHisL", 0), key("WinHisT", 0));
    placedSize_ = size();

    for (const std::string& line : station_.logWindow().lines()) appendLine(line);
    station_.logWindow().setView(this);
}

TFrmHis::TFrmHis(AppContext& app) : TFrmHis(app.station) {}

TFrmHis::~TFrmHis() {
    station_.logWindow().setView(nullptr);
}

void TFrmHis::clearLog() {
    station_.logWindow().clear();
}

void TFrmHis::appendLine(const std::string& gbkLine) {
    mmHis_->appendPlainText(GbkToQString(gbkLine));
}

void TFrmHis::clear() {
    mmHis_->clear();
}

void TFrmHis::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // The size given at creation arrives here later too: only a new size is written.
    if (size() == placedSize_) return;
    placedSize_ = size();
    writeGeometryKeys();
}

void TFrmHis::writeGeometryKeys() {
    core::IniWriteMany(station_.settings().file(), "START",
                       {{"WinHisW", std::to_string(width())},
                        {"WinHisH", std::to_string(height())},
                        {"WinHisL", std::to_string(x())},
                        {"WinHisT", std::to_string(y())}});
}

}  // namespace pelvano::gui
