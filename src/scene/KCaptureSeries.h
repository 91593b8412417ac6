#pragma once
// The preview's capture state: the numbered series of TGA frames, their file names, the
// range counters and what happens at the end of the range, and the conversion of a
// grabbed frame (rows top first) to the bottom-up 24-bit image that is saved.

#include <cstdint>
#include <memory>
#include <string>

class KImageMapTga;

class KCaptureSeries {
public:
    enum EndChoice : int { IncrementRange = 0, ResetCurrent = 1, EditCounters = 2 };

    int includeFrame = 0;
    int destination = 0; // 0 To Disk, 1 To Clipboard
    int autoCapture = 0;
    int startFrame = 0;
    int lastFrame = 12;
    int current = 0;
    std::string path; // ends with its separator when not empty
    std::string fileRoot = "anim";
    int digits = 3;
    int endChoice = IncrementRange;

    int frameNumber() const { return startFrame + current; }
    // path + root + the frame number in three digits + ".tga". Numbers above 999 keep all
    // their digits, so later frames never overwrite earlier ones.
    std::string nextFileName() const;
    // After a frame was saved: the next number; true when the range is used up and the
    // end-of-range choice must be asked for.
    bool advance();
    // Applies an end-of-range choice and remembers it.
    void applyEndChoice(int choice);
    // "Frame %i of [%i to %i]".
    std::string frameStatus() const;
    // The options dialog's check: empty when acceptable, else the message to show.
    static std::string checkOptions(int start, int last, int currentShown);
    // Splits a chosen file into path (with its separator) and root (name without extension).
    void setFromChosenFile(const std::string& chosen);
};

// A 24-bit image of width x height from top-first rows of RGBA bytes, flipped so its
// rows are held bottom-first (the saved file then starts with the bottom row).
// Null when the size is not positive or cannot be held.
std::unique_ptr<KImageMapTga> kCaptureImage(const uint8_t* rgbaTopFirst, int width, int height,
                                            size_t bytesPerLine);
