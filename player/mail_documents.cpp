// Sending documents by mail: the Simple MAPI library loaded at run time, its one entry called
// with the current frame as the owner, and the setting recorded at start-up.
#include "player/mail_documents.h"

#include "foundation/win32_services.h"

namespace {

constexpr char kMailLibrary[] = "MAPI32.DLL";
constexpr char kSendEntry[] = "MAPISendDocuments";
constexpr char kLoadFailedMessage[] = "Failed to load the MAPI DLL";
constexpr char kEntryFailedMessage[] = "Failed to get entry point in the MAPI DLL";
// Entries of the path and name lists are separated by this.
constexpr char kDelimiter[] = ";";
constexpr ULONG kReserved = 0;
// WIN.INI's [Mail] MAPI, 0 when absent.
constexpr char kMailSection[] = "Mail";
constexpr char kMapiKey[] = "MAPI";
constexpr INT kMapiAbsent = 0;

// The entry: the owner window (pointer-sized), the delimiter, the paths, the names, reserved.
using SendDocumentsEntry = ULONG(WINAPI*)(ULONG_PTR window, LPSTR delimiter, LPSTR paths, LPSTR names,
                                          ULONG reserved);

MailLibraryLoader gSystemLoader;
MailLibraryLoader* gLoader = &gSystemLoader;
int32_t gMailSetting = 0;

}  // namespace

MailLibraryLoader* InstallMailLibraryLoader(MailLibraryLoader* loader)
{
    MailLibraryLoader* previous = gLoader;
    gLoader = loader ? loader : &gSystemLoader;
    return previous;
}

void SendDocumentsByMail(const char* paths, const char* names)
{
    HWND frame = CurrentFrameHandle();
    HMODULE library = gLoader->Load(kMailLibrary);
    if (!library) {
        MessageBoxA(frame, kLoadFailedMessage, nullptr, MB_OK);
        return;
    }
    // An entry point's address carries no signature: it passes through the generic function type.
    const auto send =
        reinterpret_cast<SendDocumentsEntry>(reinterpret_cast<void (*)()>(gLoader->Entry(library, kSendEntry)));
    if (!send) {
        MessageBoxA(frame, kEntryFailedMessage, nullptr, MB_OK);
    } else {
        // The library reads the texts and never writes them.
        send(reinterpret_cast<ULONG_PTR>(frame), const_cast<LPSTR>(kDelimiter), const_cast<LPSTR>(paths),
             const_cast<LPSTR>(names), kReserved);
    }
    gLoader->Free(library);
}

int32_t MailSettingAtStartUp()
{
    return gMailSetting;
}

void RecordMailSetting()
{
    gMailSetting = int32_t(GetProfileIntA(kMailSection, kMapiKey, kMapiAbsent));
}
