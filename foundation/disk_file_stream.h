// DiskFileStream: the file object. It names a file (directory, name, extension, type and creator
// codes, dialog title and type filters) and, once opened, is a MemoryStream whose bytes live in
// the file, so that record routines, chunks and the scrambling filter work on files unchanged.
// It also stores and resolves FPTH file references.
#pragma once

#include <cstdint>
#include <cstdio>

#include "foundation/memory_stream.h"
#include "foundation/path_record.h"

class DynamicArray;
class FileLookups;

// Kinds of file object (the low four bits of the set-up argument).
enum FileKind : int32_t {
    kFileSave = 1,            // save to the known file (2 while unnamed)
    kFileSaveDialog = 2,      // save with the Save dialog
    kFileSaveCopyDialog = 3,  // save a copy with the Save dialog
    kFileWrite = 4,           // writing without dialog
    kFileOpen = 5,            // open the known file (6 while unnamed)
    kFileOpenDialog = 6,      // open with the Open dialog
    kFileFromPath = 9,        // a file given by a full path (command line, dropped files)
    kFileRead = 10,           // reading without dialog
    kFileReference = 11,      // a file found by a scan or read from an FPTH chunk
    kFileWriteNoDialog = 12,  // writing without dialog
};
constexpr int32_t kFileDialogOption = 0x10;  // set-up flag kept as the dialog option flag

// Bits of the naming flags.
constexpr uint32_t kFileHasExtension = 1;
constexpr uint32_t kFileHasName = 2;

constexpr int32_t kFileNameField = 256;  // name, reference name and title fields
constexpr int32_t kExtensionField = 4;   // at most three characters and a terminator

// Program-wide limits of file names, set from the current volume at start-up.
struct VolumeLimits {
    int32_t maxNameLength = 8;       // clamped to the name field when used
    int32_t maxExtensionLength = 3;
    int32_t platform = 0;            // 1 the consumer Windows line, 2 the NT line
    int32_t explorerDialogs = 0;     // 1 when explorer-style file dialogs exist
};
extern VolumeLimits ProgramVolumeLimits;
// Reads the limits from the current volume and the system version; 0.
ResultCode VolumeCapabilities();

// The status FileStat reports: whether the file may be written, and its modification time.
struct FileStatus {
    uint8_t writable;
    uint32_t modifiedTime;
};

// What tells one file from another whatever path names it: its volume and its number there.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t number = 0;
};

// 1 for text holding "tkp", 2 for "qvr", 3 for "trk" (any case, tested in that order), else 1.
int32_t FileKindFromText(const char* text);

class DiskFileStream : public MemoryStream {
public:
    DiskFileStream() = default;
    ~DiskFileStream() override;

    // --- virtual operations, in their fixed order ---
    // The FPTH chunk of this file reference, written to or read from `stream`.
    ResultCode Write(MemoryStream* stream) override;
    // In pieces of 260 bytes through the scrambling filter; 1 with the position unchanged when
    // fewer than `count` bytes could be moved (the bytes read are kept).
    ResultCode TransferBytes(void* address, int32_t count) override;
    ResultCode StreamSetPosition(int32_t offset) override;
    ResultCode StreamSetDirection(int32_t direction) override;
    ResultCode StreamInsertBytes(int32_t offset, int32_t count) override;
    ResultCode StreamDeleteBytes(int32_t offset, int32_t count) override;
    ResultCode StreamSize(int32_t* size) override;
    // A file never changes its length this way: 1.
    ResultCode StreamSetSize(int32_t size) override;
    int32_t StreamQuery() override { return reservedQuery_; }
    int32_t StreamKind() const override { return 2; }
    // The C runtime's buffered read and write; the number of elements moved.
    virtual int32_t FileRead(void* address, int32_t elementSize, int32_t count);
    virtual int32_t FileWrite(const void* address, int32_t elementSize, int32_t count);

    // --- opening and closing ---
    // Opens the named file in the stream's direction; 0, or 1 when it cannot be opened.
    ResultCode FileOpenStream();
    ResultCode FileCloseStream();
    int32_t FileIsReadOnly() const { return readOnly_; }
    int32_t FileIsNamed() const { return named_; }
    int32_t FileIsOpen() const { return open_; }
    ResultCode FileStat(FileStatus* destination);
    // The identity of the open file; false when it is not open or the system cannot tell.
    bool OpenFileIdentity(FileIdentity* identity) const;
    // 0 when the named file exists, else -1.
    ResultCode FileExists();
    ResultCode FileRemove();
    ResultCode FileRename(const char* newName);
    ResultCode FileCopyFrom(DiskFileStream* source);
    ResultCode EnsureDirectory();
    ResultCode DirectoryExists();
    void SetFileAttribute(DiskFileStream* base) { referenceBase_ = base; }
    DiskFileStream* ReferenceBase() const { return referenceBase_; }
    // The look-ups through which a reference read next finds its file (null: the system asked
    // each time).
    void SetNameLookups(FileLookups* lookups) { lookups_ = lookups; }
    void FileObjectNoOp() {}

    // --- naming ---
    ResultCode FileObjectInit(int32_t kindAndFlags, uint32_t typeCode, uint32_t creatorCode,
                              const char* firstFilter, const char* title);
    // Closes the file when open and frees the object.
    void FileObjectDestroy();
    void Destroy() { FileObjectDestroy(); }
    ResultCode SetFileFromPath(const char* path);
    uint32_t FileGetType() const { return type_; }
    void FileSetType(uint32_t typeCode);
    // Makes the type code from the extension when it is 0.
    void FileTypeFromExtension();
    void FileAddTypeFilter(uint32_t typeCode, const char* filter);
    void FileSetName(const char* text);
    void FileGetName(char* destination) const;
    void FileAppendToName(const char* text);
    // name.ext, or name, or empty without a name; the destination holds kPathLength bytes.
    void FileNameWithExtension(char* destination) const;
    // directory, name and extension; -1 (empty destination) without a name or when too long.
    ResultCode FileFullPath(char* destination) const;
    int32_t FileHasPath(const char* path) const;
    void FileSetKindAndTitle(int32_t kind, const char* title);
    ResultCode WindowsDirectory();
    ResultCode SetFileToProgram();
    // directory + name + "." + extension with its offsets; -1 when it would not fit.
    ResultCode GetPathRecord(PathRecord* destination) const;
    ResultCode SetFileFromPathRecord(const PathRecord* record);
    // Runs the dialog of the object's kind: 0 when a file is ready, 1 when cancelled or refused.
    ResultCode FileDialog();
    // Takes a full path apart into directory, name and extension (kind and direction unchanged);
    // -1 when it does not fit.
    ResultCode TakePath(const char* path);

    // --- fields ---
    const char* Directory() const { return directory_; }
    const char* Name() const { return name_; }
    const char* Extension() const { return extension_; }
    const char* DefaultExtension() const { return defaultExtension_; }
    const char* Title() const { return title_; }
    const char* ReferenceName() const { return referenceName_; }
    uint32_t Flags() const { return flags_; }
    uint32_t CreatorCode() const { return creator_; }
    int32_t Kind() const { return kind_; }
    int32_t DialogOption() const { return dialogOption_; }
    DynamicArray* FilterTexts() const { return filters_; }
    int32_t FirstFilterLength() const { return firstFilterLength_; }
    void SetDirectory(const char* directory);

private:
    // Moves bytes between memory and the file at an absolute offset, in pieces through the
    // transfer buffer and the filter; returns the number of bytes moved.
    int32_t ReadPieces(uint8_t* address, int32_t count, int64_t offset);
    int32_t WritePieces(const uint8_t* address, int32_t count, int64_t offset);
    // Moves `length` bytes of the file from `from` to `to` in blocks of at most `block` bytes,
    // last block first when moving up.
    bool MoveFileBytes(int64_t from, int64_t to, int64_t length, int64_t block);
    ResultCode WriteReference(MemoryStream* stream);
    ResultCode ReadReference(MemoryStream* stream);
    // Name and extension of a text by the extension rule (the directory is left alone).
    void TakeNameAndExtension(const char* text);
    void SetExtension(const char* text, int32_t length);

    std::FILE* file_ = nullptr;
    char directory_[kPathLength] = {};
    uint32_t flags_ = 0;
    char extension_[kExtensionField] = {};
    char defaultExtension_[kExtensionField] = {};
    DynamicArray* filters_ = nullptr;
    int32_t firstFilterLength_ = 0;
    int32_t readOnly_ = 0;
    int32_t reservedQuery_ = 0;
    char name_[kFileNameField] = {};
    char referenceName_[kFileNameField] = {};
    uint32_t creator_ = 0;
    uint32_t type_ = 0;
    char title_[kFileNameField] = {};
    int32_t kind_ = 0;
    int32_t named_ = 0;
    int32_t open_ = 0;
    int32_t dialogOption_ = 0;
    DiskFileStream* referenceBase_ = nullptr;
    FileLookups* lookups_ = nullptr;
    // The size of the open file as last asked for outside every chunk, kept inside chunks until
    // something is written to it (-1 when not known): the reader asks at every chunk, and finding
    // the end moves the file's position, which costs the C runtime its read-ahead.
    int64_t knownSize_ = -1;
};
