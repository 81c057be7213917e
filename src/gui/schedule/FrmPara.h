#pragma once
// TFrmPara: the settings window ("系统参数设置"). Every control shows one setting of the
// station's StationSettings and writes it the moment it changes; there is no OK or Cancel.
// The device selector switches the output device through Station::changeOutputDevice. The
// lyrics and tag buttons open windows of their own through hooks. Closing only hides it.
// The controls are read from the settings again each time the window is shown (the device list
// exists only after Station::start()). A second page, "网络直播", holds the internet stream's
// settings (section [Stream]): each finished edit that changes a value is saved and handed to
// onStreamSettingsChanged. A third, "远程控制", holds the browser remote control's (section
// [Remote]) the same way, onRemoteSettingsChanged; a new password is hashed on a worker and only
// its hash is saved. A fourth, "静音与备用", holds the dead-air and fallback keys of section
// [Linux], stored and applied by the station. A fifth, "音量均衡", holds the loudness levelling
// and the silence trimming, handed to Station::setLoudnessSettings. UI thread only.
#include <QColor>
#include <QFont>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "core/schedule/RemoteSettings.h"
#include "core/schedule/StationSettings.h"
#include "core/schedule/StreamSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTimeEdit;

namespace pelvano::core {
class Station;
}

namespace pelvano::gui {

struct AppContext;
class CrossFadeDiagram;
class RemoteSettingsPage;
class SilenceSettingsPage;
class LoudnessSettingsPage;
class StreamSettingsPage;
class TMyPanel;
class TMyShape;

class TFrmPara : public QWidget {
    Q_OBJECT
  public:
    // In the application: "歌词参数" shows app.windows.frmMusicSet; a new font or colour is
    // applied to the player.
    explicit TFrmPara(AppContext& app);
    explicit TFrmPara(core::Station& station, QWidget* parent = nullptr);

    // Every control from the settings, and the device list from the mixer.
    void loadFromStation();

    // "歌词参数": this window hides, then the hook shows the lyrics settings window.
    std::function<void()> onLyricsSettings;
    // "MP3歌词编辑": called with the item on air released (stopped, its file closed, natural
    // end held off); show the tag window modally inside it.
    std::function<void()> onTagWindow;
    // The font of btnFlyfont or a colour swatch changed: the player takes them from settings.
    std::function<void()> onAppearanceChanged;
    // The stream's settings changed and were saved: the stream restarts with them.
    std::function<void(const core::StreamSettings&)> onStreamSettingsChanged;
    // The remote control's settings changed and were saved: the server restarts with them.
    std::function<void(const core::RemoteSettings&)> onRemoteSettingsChanged;
    // Replaceable for tests: the font and colour dialogs (nothing: cancelled).
    std::function<std::optional<QFont>(const QFont&)> chooseFont;
    std::function<std::optional<QColor>(const QColor&)> chooseColor;

    QCheckBox* flagBox(core::SettingFlag flag) const {
        return flags_[static_cast<std::size_t>(flag)];
    }
    QCheckBox* chkAutoStart() const { return chkAutoStart_; }
    QSpinBox* spOver() const { return spOver_; }
    QSpinBox* spIN() const { return spIN_; }
    QSpinBox* spOut() const { return spOut_; }
    QTimeEdit* loadTimePicker() const { return loadTimePicker_; }
    QComboBox* cbDevID() const { return cbDevID_; }
    QPushButton* btnFlyfont() const { return btnFlyfont_; }
    TMyShape* swatch(core::SettingColor c) const { return swatches_[static_cast<std::size_t>(c)]; }
    QPushButton* btnMusic() const { return btnMusic_; }
    QPushButton* btnClose() const { return btnClose_; }
    TMyPanel* background() const { return background_; }
    QTabWidget* pages() const { return pages_; }
    StreamSettingsPage* streamPage() const { return streamPage_; }
    RemoteSettingsPage* remotePage() const { return remotePage_; }
    SilenceSettingsPage* silencePage() const { return silencePage_; }
    LoudnessSettingsPage* loudnessPage() const { return loudnessPage_; }

    // The user picked another output device.
    void cbDevIDChange(int index);
    void btnFlyfontClick();
    void swatchClick(core::SettingColor c);
    void btnMusicClick();
    void btnCloseClick();
    // An edit on the stream page was finished.
    void streamSettingsEdited();
    // An edit on the remote control page was finished.
    void remoteSettingsEdited();
    // An edit on the silence page was finished: the station stores and applies it.
    void silenceSettingsEdited();
    // An edit on the loudness page was finished: the station saves and uses the values.
    void loudnessSettingsEdited();

  protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildControls();
    void updateDiagram();
    // Hashes a new remote password on a worker, then saves the hash with the user.
    void storeRemotePassword(const std::string& password);
    void remoteSettingsSaved(const core::RemoteSettings& settings);

    core::Station& station_;
    core::StationSettings& settings_;
    QTabWidget* pages_ = nullptr;
    TMyPanel* background_ = nullptr;
    StreamSettingsPage* streamPage_ = nullptr;
    SilenceSettingsPage* silencePage_ = nullptr;
    LoudnessSettingsPage* loudnessPage_ = nullptr;
    core::StreamSettings stream_;  // as last loaded or saved
    RemoteSettingsPage* remotePage_ = nullptr;
    core::RemoteSettings remote_;  // as last loaded or saved
    std::array<QCheckBox*, static_cast<std::size_t>(core::SettingFlag::kCount)> flags_{};
    QCheckBox* chkAutoStart_ = nullptr;
    QSpinBox* spOver_ = nullptr;
    QSpinBox* spIN_ = nullptr;
    QSpinBox* spOut_ = nullptr;
    QTimeEdit* loadTimePicker_ = nullptr;
    QComboBox* cbDevID_ = nullptr;
    QPushButton* btnFlyfont_ = nullptr;
    std::array<TMyShape*, static_cast<std::size_t>(core::SettingColor::kCount)> swatches_{};
    QPushButton* btnMusic_ = nullptr;
    QPushButton* btnClose_ = nullptr;
    CrossFadeDiagram* diagram_ = nullptr;
    bool loading_ = false;  // controls being set from the settings write nothing
};

}  // namespace pelvano::gui
