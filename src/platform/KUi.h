#pragma once
// How the core talks to the person using it: message boxes, questions, the wait cursor
// and the progress window. The application installs a Qt implementation, the command
// line a non-interactive one, and tests a scripted one (KScriptedUi).

#include <array>
#include <string>
#include <string_view>

class KUi {
public:
    enum class Icon { Information, Warning, Error };
    enum class Answer { Yes, No, Ok, Cancel };

    virtual ~KUi() = default;

    // A modal message box with an OK button.
    virtual void message(std::string_view text, Icon icon) = 0;
    // A question with Yes and No buttons. defaultAnswer is what a non-interactive
    // front end answers (and the button that has the focus).
    virtual bool askYesNo(std::string_view text, bool defaultAnswer) = 0;
    // A question with OK and Cancel buttons; true for OK.
    virtual bool askOkCancel(std::string_view text, bool defaultAnswer) = 0;
    // The "Image Pixel Depth" dialog: nine radio choices, options 0 to 8 of an image map,
    // of which only those with enabled[option] set can be picked; preset is checked first.
    // Returns the chosen option, or -1 for Cancel. The default presses OK on the preset.
    virtual int askPixelDepth(int preset, const std::array<bool, 9>& enabled);

    // The small dialog that asks for the default values of a new item drawn with an empty
    // rectangle: a title, a note, and the fields "Total Width" and "Center Position"
    // (each 0 to 1), preset by the caller. Returns true for OK with the values edited in
    // place, false for Cancel. A front end without such a dialog cancels.
    virtual bool askItemDefaults(std::string_view title, std::string_view note, double& totalWidth,
                                 double& centerPosition) {
        (void)title;
        (void)note;
        (void)totalWidth;
        (void)centerPosition;
        return false;
    }

    virtual void beginWaitCursor() {}
    virtual void endWaitCursor() {}

    // The modeless progress window: a 0-100 bar, a percentage label, a status line and
    // Cancel. progressCancelled also lets the front end handle pending events.
    virtual void progressBegin(std::string_view title) { (void)title; }
    virtual void progressStatus(std::string_view text) { (void)text; }
    virtual void progressPosition(int percent) { (void)percent; }
    virtual bool progressCancelled() { return false; }
    virtual void progressEnd() {}
};

// The interface in force. Never null: until one is installed, a non-interactive one
// that writes to stderr answers.
KUi& kUi();
// Installs ui (not owned) and returns the previous one; nullptr restores the default.
KUi* kSetUi(KUi* ui);

// Shows the wait cursor for the lifetime of the object.
class KWaitCursor {
public:
    KWaitCursor() { kUi().beginWaitCursor(); }
    ~KWaitCursor() { kUi().endWaitCursor(); }
    KWaitCursor(const KWaitCursor&) = delete;
    KWaitCursor& operator=(const KWaitCursor&) = delete;
};

// The progress window for the lifetime of the object.
class KProgress {
public:
    explicit KProgress(std::string_view title) { kUi().progressBegin(title); }
    ~KProgress() { kUi().progressEnd(); }
    KProgress(const KProgress&) = delete;
    KProgress& operator=(const KProgress&) = delete;

    void status(std::string_view text) { kUi().progressStatus(text); }
    void position(int percent) { kUi().progressPosition(percent); }
    bool cancelled() { return kUi().progressCancelled(); }
};

// Writes messages to stderr and answers every question with its default answer.
// Used by the command-line tool and whenever nothing else is installed.
class KConsoleUi : public KUi {
public:
    void message(std::string_view text, Icon icon) override;
    bool askYesNo(std::string_view text, bool defaultAnswer) override;
    bool askOkCancel(std::string_view text, bool defaultAnswer) override;
    // Answers OK with the preset choice.
    int askPixelDepth(int preset, const std::array<bool, 9>& enabled) override;
    // Answers OK and keeps the preset values, as a user who only presses Enter would.
    bool askItemDefaults(std::string_view title, std::string_view note, double& totalWidth,
                         double& centerPosition) override;
    // Progress is silent unless verbose is set; then the status lines go to stderr.
    void progressStatus(std::string_view text) override;
    bool verbose = false;
};

// Installs a KUi for the lifetime of the object and restores the previous one.
class KUiScope {
public:
    explicit KUiScope(KUi& ui) : previous_(kSetUi(&ui)) {}
    ~KUiScope() { kSetUi(previous_); }
    KUiScope(const KUiScope&) = delete;
    KUiScope& operator=(const KUiScope&) = delete;

private:
    KUi* previous_;
};
