// The user-interface services that the lower layers call upward: the alert, the wait cursor and
// the one current progress window. The toolkit installs its implementation at start-up; until
// then (and in command-line tools) alerts go to standard error and the rest does nothing.
#pragma once

#include <cstdint>

class DynamicArray;
class Q_Offscreen;

// The cursor ids asked for by every layer: the system's arrow, and the animated wait cursor
// (the program's cursor resources 128 to 134, shown in turn).
constexpr int32_t kArrowCursor = 0;
constexpr int32_t kWaitCursor = 128;

class UiServices {
public:
    virtual ~UiServices() = default;

    // Shows the modal alert with the text verbatim and returns when it is dismissed.
    virtual void ShowAlert(const char* text);
    // Sets the cursor by resource number; kWaitCursor advances the animated wait cursor.
    virtual void SetCursorShape(int32_t /*shape*/) {}
    // The beep of a blocked step: kinds 0 and 2 play nothing, the others the system beep when
    // sounds are on.
    virtual void PlayBeep(int32_t /*kind*/) {}

    // The current progress window. Open* answer 0 when they made one, -1 when one already
    // exists (or progress windows are suppressed); the setters do nothing without one.
    virtual int32_t OpenProgress() { return -1; }
    virtual int32_t OpenTextureProgress() { return -1; }
    virtual int32_t OpenLibraryProgress() { return -1; }
    virtual void ProgressSetText(const char* /*text*/) {}
    virtual void ProgressSetMessage(const char* /*text*/) {}
    virtual void ProgressSetDetail(const char* /*text*/) {}
    virtual void ProgressSetTotal(int32_t /*total*/) {}
    virtual void ProgressSetValue(int32_t /*value*/) {}
    virtual int32_t ProgressValue() { return 0; }
    virtual void ProgressShow() {}
    // Redraws the bar and runs pending messages; 1 once the user pressed Stop or Cancel.
    virtual int32_t ProgressUpdate(int32_t /*reserved*/) { return 0; }
    virtual void ProgressShowCredits(Q_Offscreen* /*picture*/, DynamicArray* /*text*/) {}
    // Takes what the user did since the last update, then ends the stage (the window goes with
    // the outermost); 1 when the load was asked to stop, at this last look or before.
    virtual int32_t ProgressFinish() { return 0; }
};

// Installs the services (null restores the defaults); returns the ones installed before.
UiServices* InstallUiServices(UiServices* services);
UiServices& CurrentUiServices();

inline void ShowAlert(const char* text) { CurrentUiServices().ShowAlert(text); }
inline void SetCursorShape(int32_t shape) { CurrentUiServices().SetCursorShape(shape); }
inline void PlayBeep(int32_t kind) { CurrentUiServices().PlayBeep(kind); }
inline int32_t OpenProgress() { return CurrentUiServices().OpenProgress(); }
inline int32_t OpenTextureProgress() { return CurrentUiServices().OpenTextureProgress(); }
inline int32_t OpenLibraryProgress() { return CurrentUiServices().OpenLibraryProgress(); }
inline void ProgressSetText(const char* text) { CurrentUiServices().ProgressSetText(text); }
inline void ProgressSetMessage(const char* text) { CurrentUiServices().ProgressSetMessage(text); }
inline void ProgressSetDetail(const char* text) { CurrentUiServices().ProgressSetDetail(text); }
inline void ProgressSetTotal(int32_t total) { CurrentUiServices().ProgressSetTotal(total); }
inline void ProgressSetValue(int32_t value) { CurrentUiServices().ProgressSetValue(value); }
inline int32_t ProgressValue() { return CurrentUiServices().ProgressValue(); }
inline void ProgressShow() { CurrentUiServices().ProgressShow(); }
inline int32_t ProgressUpdate(int32_t reserved) { return CurrentUiServices().ProgressUpdate(reserved); }
inline void ProgressShowCredits(Q_Offscreen* picture, DynamicArray* text)
{
    CurrentUiServices().ProgressShowCredits(picture, text);
}
inline int32_t ProgressFinish() { return CurrentUiServices().ProgressFinish(); }
