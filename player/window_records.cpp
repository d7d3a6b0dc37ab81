// The window records of the preferences: their defaults from the current frame, the "PWIN"
// body, and refitting them to the screens they are read on (the screen figures taken once a read).
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <new>

#include "foundation/dynamic_array.h"
#include "foundation/memory_stream.h"
#include "foundation/pointer_list.h"
#include "model/read_limits.h"
#include "player/preference_sections.h"
#include "player/section_transfer.h"
#include "player/stored_window_kinds.h"
#include "player/window_layout.h"
#include "toolkit/side_panel.h"

namespace {

constexpr Fixed kHalf = kFixedHalf;
constexpr int32_t kRecordGrowStep = 4;

// Bytes of one stored record: rectangle 8, point 4, value 4, kind 2; of one screen: 8.
constexpr int32_t kStoredRecordBytes = 18;
constexpr int32_t kStoredScreenBytes = 8;

// Refitting: the least size of a window, and how much of it stays on the screen.
constexpr int32_t kLeastSide = 72;
constexpr int32_t kKeptBelow = 8;
constexpr int32_t kKeptBeside = 28;

ResultCode TransferRecord(MemoryStream* stream, WindowRecord* record)
{
    return SectionTransfer(stream)
        .Shorts(&record->rect.left, 4)
        .Shorts(record->point, 2)
        .Typed(&record->value, kTypedLong)(&record->kind)
        .Result();
}

ResultCode TransferRect(MemoryStream* stream, PortRect* rect)
{
    return SectionTransfer(stream).Shorts(&rect->left, 4).Result();
}

bool SameRect(const PortRect& a, const PortRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

WindowRecord MakeRecord(const PortRect& rect, Fixed value, int16_t kind)
{
    WindowRecord record = {};
    record.rect = rect;
    record.value = value;
    record.kind = kind;
    return record;
}

// What records are refitted to: the screen new windows are placed on (none without screens) and
// the frame's metrics. Each is asked of the system, at a cost far above a record's own, and none
// changes while a read refits its records: they are taken once for them all.
struct RefitFigures {
    bool hasScreen;
    PortRect screen;
    FrameLayout layout;
};

RefitFigures CurrentRefitFigures()
{
    WindowLayoutServices& screens = CurrentWindowLayout();
    RefitFigures figures = {};
    figures.hasScreen = screens.GetPlacementScreen(&figures.screen);
    if (figures.hasScreen) screens.GetFrameLayout(&figures.layout);
    return figures;
}

// Moves the record onto the screen: at least 72 x 72, no larger than the screen leaves room for,
// its caption below the screen's top and part of it inside the screen.
void RefitWindowRecord(WindowRecord* record, const RefitFigures& figures)
{
    PortRect& r = record->rect;
    r.right = std::max(r.right, r.left + kLeastSide);
    r.bottom = std::max(r.bottom, r.top + kLeastSide);
    if (!figures.hasScreen) return;
    const PortRect& screen = figures.screen;
    const FrameLayout& layout = figures.layout;
    const int32_t width = std::min(r.Width(), screen.Width() - 2 * layout.frameWidth);
    const int32_t height = std::min(r.Height(), screen.Height() - (layout.captionHeight + 2 * layout.frameHeight));
    r.top = std::max(r.top, screen.top + layout.captionHeight + layout.frameHeight);
    r.top = std::min(r.top, screen.bottom - kKeptBelow);
    r.bottom = r.top + height;
    if (r.right >= screen.right) {
        r.left = std::max(r.left, screen.left);
        r.left = std::min(r.left, screen.right - kKeptBeside);
        r.right = r.left + width;
    } else {
        r.right = std::max(r.right, screen.left + kKeptBeside);
        r.left = r.right - width;
    }
}

}  // namespace

bool WindowRecordsEqual(const WindowRecord& a, const WindowRecord& b)
{
    return SameRect(a.rect, b.rect) && a.value == b.value && a.kind == b.kind;
}

int32_t WindowsSection::RecordCount() const
{
    return records ? records->ArrayCount() : 0;
}

WindowRecord* WindowsSection::Record(int32_t index) const
{
    if (index < 0 || index >= RecordCount()) return nullptr;
    return *records->At<WindowRecord*>(index);
}

bool WindowsSection::AppendRecord(const WindowRecord& record)
{
    if (!records) records = NewDynamicArray(0, int32_t(sizeof(WindowRecord*)), kRecordGrowStep);
    if (!records) return false;
    std::unique_ptr<WindowRecord> copy(new (std::nothrow) WindowRecord(record));
    if (!copy || AppendPointer(records, copy.get()) < 0) return false;
    copy.release();  // the list's from now on
    return true;
}

void WindowsSection::FreeRecords()
{
    for (int32_t i = 0; i < RecordCount(); ++i) delete Record(i);
    if (records) IgnoreResult(records->ArraySetCount(0));
}

void WindowsSection::Reset()
{
    PreferenceSection::Reset();
    FreeRecords();
    FrameLayout layout;
    CurrentWindowLayout().GetFrameLayout(&layout);
    AppendRecord(MakeRecord(layout.content, kFixedOne, kStoredWindowContent));
    // Beside the side panel and above the help bar, split into an upper and a lower half.
    PortRect beside = layout.content;
    beside.left += kSidePanelWidth;
    beside.bottom -= layout.clientArea.Height();
    const int32_t middle = beside.top + beside.Height() / 2;
    PortRect upper = {beside.left, beside.top, beside.right, middle};
    PortRect lower = {beside.left, middle, beside.right, beside.bottom};
    for (PortRect* half : {&upper, &lower}) {
        half->left += layout.frameWidth;
        half->right -= layout.frameWidth;
        half->top += layout.captionHeight + layout.frameHeight;
        half->bottom -= layout.frameHeight;
    }
    AppendRecord(MakeRecord(upper, kHalf, kStoredWindowUpper));
    AppendRecord(MakeRecord(lower, kFixedOne, kStoredWindowLower));
}

void WindowsSection::Free()
{
    FreeRecords();
    DestroyArray(records);
    delete this;
}

ResultCode WindowsSection::Write(MemoryStream* stream)
{
    WindowLayoutServices& screens = CurrentWindowLayout();
    if (stream->StreamIsWriting()) {
        int16_t count = int16_t(std::min<int32_t>(RecordCount(), INT16_MAX));
        ResultCode result = stream->StreamTransferValue(&count, kValue16);
        for (int32_t i = 0; i < count && result == kResultOk; ++i) result = TransferRecord(stream, Record(i));
        int16_t screenCount = int16_t(std::min<int32_t>(screens.ScreenCount(), INT16_MAX));
        if (result == kResultOk) result = stream->StreamTransferValue(&screenCount, kValue16);
        for (int32_t i = 0; i < screenCount && result == kResultOk; ++i) {
            PortRect bounds;
            screens.GetScreenBounds(i, &bounds);
            result = TransferRect(stream, &bounds);
        }
        return result;
    }

    int16_t count = 0;
    ResultCode result = stream->StreamTransferValue(&count, kValue16);
    if (result != kResultOk || count == 0) return result;
    if (!CountFits(stream, count, kStoredRecordBytes)) return kResultBadCount;
    FreeRecords();
    for (int32_t i = 0; i < count; ++i) {
        WindowRecord record = {};
        result = TransferRecord(stream, &record);
        if (result != kResultOk) return result;
        if (!AppendRecord(record)) return kResultOutOfMemory;
    }
    // The screens the records were written on: when they are not the present ones (or cannot
    // be read), every record is fitted to the present screens.
    int16_t screenCount = 0;
    result = stream->StreamTransferValue(&screenCount, kValue16);
    if (result == kResultOk && !CountFits(stream, screenCount, kStoredScreenBytes)) result = kResultBadCount;
    bool same = result == kResultOk && screenCount == screens.ScreenCount();
    for (int32_t i = 0; i < screenCount && result == kResultOk; ++i) {
        PortRect stored = {};
        result = TransferRect(stream, &stored);
        PortRect present = {};
        if (same) screens.GetScreenBounds(i, &present);
        same = same && result == kResultOk && SameRect(stored, present);
    }
    if (!same) {
        const RefitFigures figures = CurrentRefitFigures();
        for (int32_t i = 0; i < RecordCount(); ++i) RefitWindowRecord(Record(i), figures);
    }
    return result;
}
