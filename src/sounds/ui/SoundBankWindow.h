// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/core/UnshownNames.h"
#include "common/ui/AppWindow.h"
#include "sounds/core/CountingPrompter.h"
#include "sounds/core/PlayAllQueue.h"
#include "sounds/core/SchemeStore.h"
#include "sounds/ui/SoundKit.h"

#include <memory>

class CommandDevice;
class InputLevelMeter;
class MicrophonePicker;
class RecorderPanel;
class SchemePanel;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QTimer;
class SoundPlayer;
class WaveRecorder;

// The sound bank editor "AudioRecorder": picks, makes and deletes speech
// schemes, lists, plays and deletes a scheme's sound bytes, sets a sound byte
// from a file, and records one through the wave device, previews it from a
// chosen position and stores it under the speech sound chosen at Record time.
// A 200 ms status tick shows the device mode in the caption, the recording's
// statistics, and returns Stop and Preview to rest when a playback ends.
class SoundBankWindow : public AppWindow {
    Q_OBJECT
public:
    SoundBankWindow(AppContext& context, SoundKit kit);
    ~SoundBankWindow() override;

    void formLoad() override;

    // The scheme shown in the scheme list ("" when there is none).
    QString currentScheme() const;
    // The speech sound a recording is stored under (taken at Record time).
    const QString& selectedSound() const { return m_selectedSound; }

protected:
    bool formUnload() override;

private:
    void buildControls();

    // Sound bytes and files.
    void playSoundByte();
    void playDefaultSound();
    void makeModeChosen(int index);
    void browse();
    void setFromFile();
    void play(const QString& file, const QString& missingText);
    void releasePlayer();

    // The recorder.
    void record();
    void stop();
    void preview();
    void reset();
    void keepRecording();
    void statusTick();

    // The row of tools: the level meter, the editing options, Play All and
    // sharing whole banks.
    void buildTools();
    void loadEditing();
    void editingChanged();
    void playAll();
    void playNextOfAll();
    void endPlayAll();

    SchemeStore m_schemes;
    CountingPrompter m_prompter;
    UnshownNamesNotice m_unshown; // names of schemes and sound bytes that cannot be shown
    SoundKit m_kit;
    std::unique_ptr<CommandDevice> m_device;
    std::unique_ptr<WaveRecorder> m_recorder;
    std::unique_ptr<SoundPlayer> m_player;
    SoundClip::Editing m_editing; // how recordings and clips are edited
    QString m_selectedSound;
    bool m_inTick = false; // the status tick runs (it waits for its own boxes)
    PlayAllQueue m_playAll;

    SchemePanel* m_schemePanel = nullptr;
    QListWidget* m_speechSounds = nullptr;
    QComboBox* m_sourceCombo = nullptr;
    QGroupBox* m_frmBrowse = nullptr;
    QLineEdit* m_txtFileName = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QPushButton* m_cmdOKbrowse = nullptr;
    RecorderPanel* m_recorderPanel = nullptr;
    QSlider* m_startSlider = nullptr;
    QLabel* m_statisticsLabel = nullptr;
    QLabel* m_imgArmy = nullptr;
    QTimer* m_statusTimer = nullptr;
    InputLevelMeter* m_meter = nullptr;
    MicrophonePicker* m_microphone = nullptr;
    QCheckBox* m_trimSilence = nullptr;
    QCheckBox* m_normalisePeak = nullptr;
};
