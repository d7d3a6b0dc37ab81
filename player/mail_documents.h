// Handing documents to the system's mail client through Simple MAPI, loaded at run time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/root_object.h"

// Hands the files (paths and names, each several entries separated by ";") to the mail client;
// a library or entry point that cannot be had is reported in a message box.
void SendDocumentsByMail(const char* paths, const char* names);

// How the mail library is reached: the real library by default; tests install their own.
class MailLibraryLoader : public RootObject {
public:
    virtual HMODULE Load(const char* name) { return LoadLibraryA(name); }
    virtual FARPROC Entry(HMODULE library, const char* name) { return GetProcAddress(library, name); }
    virtual void Free(HMODULE library) { FreeLibrary(library); }
};
// Installs the loader (null restores the real one); returns the one installed before.
MailLibraryLoader* InstallMailLibraryLoader(MailLibraryLoader* loader);

// The [Mail] MAPI setting of WIN.INI, recorded at start-up.
int32_t MailSettingAtStartUp();
void RecordMailSetting();
