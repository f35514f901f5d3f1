// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the sound bank editor's controls lie, in pixels: the form as it was
// drawn (schemes on the left, the speech sounds in the middle, the recorder
// on the right, the preview position and statistics along the bottom), and
// the row of tools below it. Rectangles are in the window unless they say
// which frame they lie in.
namespace SoundBankLayout {

// The form's client area: 8055 x 5070 twips at 15 twips per pixel. The
// window opens centred for this size; the row of tools then makes it taller.
constexpr QSize form(537, 338);
constexpr int toolsHeight = 106;
constexpr QSize window(form.width(), form.height() + toolsHeight);

// Schemes and their sound bytes.
constexpr QRect schemeCaption(8, 9, 56, 18);
constexpr QRect schemeChooser(64, 6, 194, 22);
constexpr QRect schemeName(8, 32, 250, 18);
constexpr QRect newScheme(8, 52, 122, 24);
constexpr QRect deleteScheme(136, 52, 122, 24);
constexpr QRect soundBytesFrame(8, 80, 250, 140);
constexpr QRect soundBytesHint(8, 20, 234, 16); // in soundBytesFrame, and the two below
constexpr QRect soundBytes(8, 38, 234, 68);
constexpr QRect removeSoundByte(8, 110, 234, 24);

// The speech sounds.
constexpr QRect speechCaption(266, 9, 130, 16);
constexpr QRect speechSounds(266, 26, 130, 176);
constexpr QRect speechHint(266, 204, 130, 16);

// How a sound byte is made: the recorder's buttons, or the file panel over
// them. The file panel, once shown, covers the recorder panel from 20 twips
// above its top.
constexpr QRect sourceChooser(404, 6, 125, 22);
constexpr QRect recorderPanel(404, 34, 125, 186);
constexpr QRect recorderButton(int top) // in recorderPanel
{
    return QRect(8, top, 109, 26);
}
constexpr QRect record = recorderButton(8);
constexpr QRect preview = recorderButton(42);
constexpr QRect stop = recorderButton(76);
constexpr QRect reset = recorderButton(110);
constexpr QRect keepRecording = recorderButton(152);
constexpr QRect browsePanel = recorderPanel;
constexpr QPoint browsePanelShown(recorderPanel.x(), recorderPanel.y() - 1);
constexpr QRect fileName(8, 24, 109, 22); // in browsePanel, and the two below
constexpr QRect browse(8, 52, 109, 26);
constexpr QRect setFromFile(8, 86, 109, 26);

// The preview position and the statistics, the army picture beside them.
constexpr QRect startFrame(8, 226, 388, 50);
constexpr QRect startSlider(8, 22, 372, 24); // in startFrame
constexpr QRect statisticsFrame(8, 280, 388, 54);
constexpr QRect statistics(8, 20, 372, 32); // in statisticsFrame
constexpr QRect army(404, 226, 125, 108);

// The row of tools below the form.
constexpr int toolsTop = form.height() + 2;
constexpr QRect inputLevel(8, toolsTop, 250, 22);
constexpr QRect recordLength(266, toolsTop, 130, 22);
constexpr QRect trimSilence(8, toolsTop + 28, 120, 24);
constexpr QRect normalisePeak(132, toolsTop + 28, 126, 24);
constexpr QRect playAll(266, toolsTop + 28, 130, 26);
constexpr QRect exportBank(404, toolsTop, 125, 26);
constexpr QRect importBank(404, toolsTop + 28, 125, 26);
// The microphone recorded from, and the line saying when it is gone.
constexpr QRect microphoneCaption(8, toolsTop + 61, 80, 16);
constexpr QRect microphone(90, toolsTop + 58, 439, 22);
constexpr QRect microphoneNote(8, toolsTop + 84, 521, 18);

} // namespace SoundBankLayout
