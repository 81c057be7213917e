#include "gui/lyrics/FrmMusic.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/app/Encoding.h"
#include "core/app/NativePaths.h"
#include "core/lyrics/LyricsEditor.h"
#include "core/playout/Station.h"
#include "gui/controls/SkinDrawing.h"

namespace pelvano::gui {

namespace {

// The kind of ridge that underlines each lyric line.
constexpr int kUnderlineRidgeKind = 2;

}  // namespace

QImage KeyOutBlack(const QImage& picture) {
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            line[x] = (line[x] & 0x00FFFFFFu) == 0 ? 0u : (line[x] | 0xFF000000u);
        }
    }
    return keyed;
}

TFrmMusic::TFrmMusic(core::Station& station, core::TimerService& timers, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      station_(station),
      settings_(station.paths().settingsFile()),
      tags_(core::ReadTagTextEncoding(station.paths().settingsFile())),
      display_(state_, settings_, *this, timers, [this] { return chkEditMusic(); }),
      loader_(
          station.work(), station.resolver(),
          [encoding = tags_.textEncoding()] {
              return std::make_unique<core::Id3v2LyricsTag>(encoding);
          },
          state_,
          [this] {
              display_.ShowLyricLine(state_.CurrentLyricRow);
              emit lyricsLoaded();
          }) {
    setWindowTitle(QStringLiteral("歌词播放"));
    setObjectName(QStringLiteral("FrmMusic"));
    // Showing it must leave the operator's window active and its keyboard focus where it was.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void TFrmMusic::applyPlacement(const core::LyricsWindowPlacement& placement) {
    setWindowOpacity(placement.opacity / 255.0);
    move(placement.left, placement.top);
    resize(placement.width, placement.height);
    setDisplayVisible(placement.visible);
}

bool TFrmMusic::chkPlaySongText() const {
    return settings_.chkPlaySongText();
}

bool TFrmMusic::chkEditMusic() const {
    return editor_ && editor_->chkEditMusic();
}

void TFrmMusic::itemStarted(const std::string& nativePath) {
    loader_.load(core::StoredFormOfNativePath(nativePath), settings_.chkInMP3lrcFirst(),
                 station_.preparer().bound());
}

void TFrmMusic::itemReleased() {
    if (!chkEditMusic()) itemStarted({});
}

void TFrmMusic::setDisplayVisible(bool visible) {
    setVisible(visible);
}

void TFrmMusic::LyricAdvance(int positionMs) {
    display_.LyricAdvance(positionMs);
}

void TFrmMusic::LyricSeek(int positionMs) {
    display_.LyricSeek(positionMs);
}

int TFrmMusic::glyphHeight() const {
    return TextExtent(ToQFont(settings_.plMusicFont()), QStringLiteral("j")).height();
}

int TFrmMusic::windowWidth() const {
    return width();
}

void TFrmMusic::showFrame(const core::LyricsFrame& frame) {
    frame_ = frame;
    if (buffer_.size() != QSize(frame.width, frame.height))
        buffer_ = QImage(std::max(1, frame.width), std::max(1, frame.height), QImage::Format_RGB32);
    buffer_.fill(Qt::black);
    {
        QPainter p(&buffer_);
        for (const core::LyricsFrameLine& line : frame.lines) {
            core::FontRecord font = frame.font;
            font.color = line.color;
            DrawFittedText(p, font, line.text, static_cast<int>(frame.alignment),
                           frame.outlineWidth, frame.outlineColor,
                           Edges{0, line.top, frame.width, line.bottom});
            if (line.underline)
                DrawRidgeLine(p, 0, line.bottom, frame.width, kUnderlineRidgeKind,
                              frame.underlineColor);
        }
    }
    keyed_ = KeyOutBlack(buffer_);
    scrolled_ = 0;
    update();
    emit frameShown();
}

void TFrmMusic::scrollUp(int pixels) {
    scrolled_ += pixels;
    update();
}

bool TFrmMusic::isShown() const {
    return isVisible();
}

void TFrmMusic::show() {
    QWidget::show();
}

void TFrmMusic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    p.drawImage(0, -scrolled_, keyed_);
}

void TFrmMusic::mousePressEvent(QMouseEvent* e) {
    dragging_ = true;
    grabOffset_ = e->globalPosition().toPoint() - pos();
}

void TFrmMusic::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) return;
    move(e->globalPosition().toPoint() - grabOffset_);
    settings_.setGeometry(x(), y(), settings_.spMW(), settings_.spMH());
    emit moved(settings_.spML(), settings_.spMT());
}

void TFrmMusic::mouseReleaseEvent(QMouseEvent*) {
    if (!dragging_) return;
    dragging_ = false;
    // One rewrite of the settings file for the whole drag rather than one per mouse move.
    settings_.moveDisplayTo(x(), y());
    emit moved(settings_.spML(), settings_.spMT());
}

}  // namespace pelvano::gui
