#pragma once
// TMyRoundButton: an elliptical, shaded push button painted over its parent. Its three images
// are rendered only when a look-affecting property changes; painting is a masked copy.
// UI thread only.
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "gui/controls/ControlEvents.h"
#include "gui/controls/RoundButtonRender.h"

namespace pelvano::gui {

class TMyRoundButton : public SkinnedControl<TMyRoundButton> {
    Q_OBJECT
  public:
    explicit TMyRoundButton(QWidget* parent = nullptr);

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    double AttenControl() const { return look_.AttenControl; }
    void SetAttenControl(double v);
    THemisphereBevel BevelInner() const { return look_.BevelInner; }
    void SetBevelInner(THemisphereBevel v);
    THemisphereBevel BevelOuter() const { return look_.BevelOuter; }
    void SetBevelOuter(THemisphereBevel v);
    int BevelWidth() const { return look_.BevelWidth; }
    void SetBevelWidth(int v);  // values ≤ 0 are refused
    TColor BorderColor() const { return look_.BorderColor; }
    void SetBorderColor(TColor v);
    TButtonBorderStyle BorderStyle() const { return look_.BorderStyle; }
    void SetBorderStyle(TButtonBorderStyle v);
    QString Caption() const { return look_.Caption; }
    void SetCaption(const QString& v);
    bool Down() const { return down_; }
    void SetDown(bool v);  // repaints at once; other buttons of the group are left alone
    TColor FaceColor() const { return look_.FaceColor; }
    void SetFaceColor(TColor v);  // a plain RGB colour
    bool FaceShaded() const { return look_.FaceShaded; }
    void SetFaceShaded(bool v);
    bool FaceTransparent() const { return look_.FaceTransparent; }
    void SetFaceTransparent(bool v);
    const core::FontRecord& Font() const { return font_; }
    void SetFont(const core::FontRecord& v);
    const QImage& Glyph() const { return look_.glyph; }
    // Copies the picture; NumGlyphs follows from its proportions and GlyphIndex returns to 1.
    // A null image clears the glyph.
    void SetGlyph(const QImage& v);
    int GlyphIndex() const { return look_.GlyphIndex; }
    void SetGlyphIndex(int v);  // 1…NumGlyphs
    bool GlyphShaded() const { return look_.GlyphShaded; }
    void SetGlyphShaded(bool v);
    bool GlyphMapped() const { return look_.GlyphMapped; }
    void SetGlyphMapped(bool v);
    bool GlyphTransparent() const { return look_.GlyphTransparent; }
    void SetGlyphTransparent(bool v);
    int NumGlyphs() const { return look_.NumGlyphs; }
    void SetNumGlyphs(int v);
    int GroupIndex = 0;
    QPointer<QMenu> PopUpMenu;

    // The rendered up image, down image and shape mask; SetImages shows stored images as they
    // are until a look-affecting property changes.
    const RoundButtonImages& Images() const { return images_; }
    void SetImages(const RoundButtonImages& images);
    const RoundButtonLook& Look() const { return look_; }
    int RenderCount() const { return renderCount_; }

    std::function<void(TMyRoundButton*)> OnDblClick;

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    template <class T>
    void setLook(T& field, const T& value);
    void render();
    void press(QMouseEvent* e, bool isDouble);
    void release(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    std::vector<TMyRoundButton*> groupMates() const;

    RoundButtonLook look_;
    RoundButtonImages images_;
    QImage composed_[2];  // up and down, transparent outside the mask
    core::FontRecord font_;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool pressed_ = false;
    bool downAtPress_ = false;
    int renderCount_ = 0;
};

}  // namespace pelvano::gui
