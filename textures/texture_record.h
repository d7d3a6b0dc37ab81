// TextureRecord: one named texture of a model: its mapping attributes, the media holder that
// supplies its picture, its use and lock counts, the scene parts that show it, and the index it
// carries while a texture table is read or written. Records live in a TextureRecordList, in
// creation order; each document owns one, and the texture libraries own global ones.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "draw/port_base.h"
#include "foundation/dynamic_array.h"
#include "foundation/path_record.h"
#include "foundation/rgb_color.h"

class DiskFileStream;
class MediaHolder;
class MemPixMap;
class MemoryStream;
class ModelObject;
class PolygonElement;
class Q_Offscreen;
class Surface;
class TextureRecordList;

constexpr int32_t kTextureNameBytes = 64;
constexpr int32_t kTextureAttributeCount = 19;
constexpr char kUninitializedTextureName[] = "<UNINITIALIZED>";

// The nineteen mapping attributes, numbered 1 to 19 as stored in the "TXST" chunk.
struct TextureAttributes {
    int32_t values[kTextureAttributeCount];

    int32_t& operator[](int32_t number) { return values[number - 1]; }
    int32_t operator[](int32_t number) const { return values[number - 1]; }

    // The attributes that face drawing reads, by meaning.
    int32_t Transparent() const { return (*this)[1]; }  // non-zero: texel 0 is not drawn
    int32_t Shaded() const { return (*this)[2]; }       // 0: the picture's own colours, unshaded
    int32_t SourceWord() const { return (*this)[3]; }   // handed to the fills with the picture
    int32_t FlipU() const { return (*this)[7]; }
    int32_t FlipV() const { return (*this)[8]; }
    int32_t MirrorU() const { return (*this)[9]; }
    int32_t MirrorV() const { return (*this)[10]; }
    // The default 16.16 factor of the v axis, which also scales the picture's height for the
    // v flip.
    int32_t FactorV() const { return (*this)[12]; }
};

class TextureRecord {
public:
    // Appends the record to its owner list, with no holder, counts 0, save and link index -1,
    // empty user lists and the default name and attributes.
    explicit TextureRecord(TextureRecordList* owner);
    ~TextureRecord();
    TextureRecord(const TextureRecord&) = delete;
    TextureRecord& operator=(const TextureRecord&) = delete;

    char name[kTextureNameBytes];
    TextureAttributes attributes;
    TextureRecordList* owner;
    MediaHolder* holder = nullptr;  // kept by the record (SetTextureHolder), owned by the texture manager
    int32_t useCount = 0;
    int32_t lockCount = 0;
    DynamicArray* objectUsers = nullptr;   // ModelObject pointers
    DynamicArray* surfaceUsers = nullptr;  // Surface pointers
    DynamicArray* elementUsers = nullptr;  // PolygonElement pointers
    int32_t saveIndex = -1;
    int32_t linkIndex = -1;
};

// A DynamicArray of TextureRecord pointers whose element comparison orders records by name,
// with the document that owns it (null for the global lists), and the index of its own records
// that carry a save index, by that index (a save index names one record of its list), which
// SetTextureSaveIndex and DestroyTextureRecord keep. The index is kept in order rather than
// hashed: the indices a file names could be chosen to fall together under a hash.
class TextureRecordList : public DynamicArray {
public:
    int32_t Compare(const void* a, const void* b) override;

    void* ownerDocument = nullptr;
    std::map<int32_t, TextureRecord*> bySaveIndex;
};

// --- lists ---
// A new list (element size of a pointer, grow step 4) without an owner; null without memory.
TextureRecordList* NewTextureRecordList();
ResultCode InitTextureRecordList(TextureRecordList* list);
void SetTextureListOwner(TextureRecordList* list, void* document);
// Frees the list, not its records.
void FreeTextureRecordList(TextureRecordList* list);
// Destroys every record of the list, from the last to the first (each destruction takes the
// record out of it; one of another list is taken out too).
void ReleaseTextureRecords(TextureRecordList* list);
int32_t TextureRecordCount(const TextureRecordList* list);
TextureRecord* TextureRecordAt(const TextureRecordList* list, int32_t index);

// --- record life ---
// Sets the default name "<UNINITIALIZED>" and the default attributes.
void ResetTextureAttributes(TextureRecord* record);
// Takes the record out of its owner list, destroys its user lists and frees it; its holder goes
// when no other record keeps it.
void DestroyTextureRecord(TextureRecord* record);
// Binds the holder (or none) to the record, which keeps it: the holder bound before goes when no
// other record keeps it.
void SetTextureHolder(TextureRecord* record, MediaHolder* holder);
// A new record in the same list with the name, attributes and holder, under a unique name.
TextureRecord* CloneTextureRecord(TextureRecord* record);
// Appends "+" to the name until no other record of the list has it; a full name field gives up
// a character before its run of "+" instead.
void MakeUniqueTextureName(TextureRecord* record);
// Sets the name, cut to 63 characters.
void SetTextureName(TextureRecord* record, const char* name);
void GetTextureName(const TextureRecord* record, char* out);
bool TextureIsPresent(const TextureRecord* record);
bool TextureInUse(const TextureRecord* record);
bool TextureLocked(const TextureRecord* record);
// The path of the holder's file, or a cleared record.
void GetTexturePath(const TextureRecord* record, PathRecord* path);
// Negative, 0 or positive as the names compare as zero-terminated byte strings.
int32_t CompareTextureNames(const TextureRecord* a, const TextureRecord* b);

// --- searches (first match from index 0, or null) ---
TextureRecord* FindTextureByName(TextureRecordList* list, const char* name);
TextureRecord* FindTextureByNameExcept(TextureRecordList* list, const char* name, const TextureRecord* except);
TextureRecord* FindTextureByNameAndPath(TextureRecordList* list, const char* name, const PathRecord* path);
// The record of the list that carries the save index, looked up in the list's index; null for -1.
TextureRecord* FindTextureBySaveIndex(TextureRecordList* list, int32_t index);
TextureRecord* FindTextureByLinkIndex(TextureRecordList* list, int32_t index);
void ClearTextureSaveIndices(TextureRecordList* list);
// Gives the record the save index (-1: none), in its owner list's index too.
void SetTextureSaveIndex(TextureRecord* record, int32_t index);
// The level-0 pixmap of the first record in use whose holder is a picture (kinds 0 and 1).
MemPixMap* FirstEmbeddedPixmap(TextureRecordList* list);

// --- creating and loading ---
// A record of the name in the list, its picture taken from the path by the file type. A name
// the list has already gives a second record under a unique name (kept even when its file
// failed); otherwise a failed file leaves no record. The status of the load, or 0.
ResultCode CreateTextureRecord(TextureRecordList* list, const char* name, const PathRecord* path,
                               TextureRecord** out);
// Binds the holder of the path's file ("BMP" and "DIB" files, "JPG" files; "PIC" files are
// refused), sharing the holder of any record of the same file. 0 or -1.
ResultCode LoadTextureByFileType(TextureRecord* record, const PathRecord* path);
ResultCode LoadTextureFromFileObject(TextureRecord* record, DiskFileStream* file);
// Binds the holder of the picture at the chunk position of the model file, shared by every
// record of that picture.
ResultCode BindEmbeddedTextureData(TextureRecord* record, MemoryStream* modelFile, int32_t position);
// A new embedded-picture holder for the record; -1 when none can be made.
ResultCode MakeEmbeddedPictureTexture(TextureRecord* record);
// Takes the source's file (sharing an embedded-data holder), name and attributes.
void AssignTextureFrom(TextureRecord* record, TextureRecord* source);

// --- users and use counts ---
// The user joins the record's list; unless the record awaits its texture table entry, the
// picture is decoded when no one uses it yet and the use is counted. The load status. Adding a
// scene object also publishes again the offscreen that was published before, while it is locked.
ResultCode TextureAddObjectUser(TextureRecord* record, ModelObject* user);
ResultCode TextureAddSurfaceUser(TextureRecord* record, Surface* user);
ResultCode TextureAddElementUser(TextureRecord* record, PolygonElement* user);
// The user leaves the list; a counted use ends (the picture is released after the last one).
// Counts never go below 0: a user whose picture could not be loaded took no use.
void TextureRemoveObjectUser(TextureRecord* record, ModelObject* user);
void TextureRemoveSurfaceUser(TextureRecord* record, Surface* user);
void TextureRemoveElementUser(TextureRecord* record, PolygonElement* user);
// A user leaving a texture along with many others: the record, which of its lists, the user.
struct LeavingUser {
    enum List : int32_t { kObjects, kSurfaces, kElements };
    TextureRecord* record;
    List list;
    const void* user;
};
// Takes the users off their records' lists as TextureRemove*User would one by one, but with one
// pass over each list: a user found from the end of its list for each time it is given.
void RemoveLeavingUsers(std::vector<LeavingUser>* users);
ResultCode AcquireTexture(TextureRecord* record);
void ReleaseTexture(TextureRecord* record);
// After a texture table entry was read: counts and loads the users recorded while reading.
ResultCode ReattachTextureUsers(TextureRecord* record);
// Recomputes the texture mapping of every user. Watched (as a read ends), the progress window is
// looked at after each user: kResultStopped, the users after it left as they were, once the
// user asked it to stop; else 0.
ResultCode RefreshTextureUsers(TextureRecord* record, bool watched);
// Unbinds every user (each user list empties).
void DetachTextureUsers(TextureRecord* record);
// Every user of the record is bound to `other` instead.
void ReplaceTextureInUsers(TextureRecord* record, TextureRecord* other);
ResultCode ReplaceTextureFile(TextureRecord* record, DiskFileStream* file);
ResultCode ReplaceTextureEmbedded(TextureRecord* record, MemoryStream* modelFile, int32_t position);
int32_t TextureUserCount(const TextureRecord* record);

// --- forwarders to the holder (defaults without one) ---
MemPixMap* TextureItemProperty(TextureRecord* record, int32_t level);
RGBColor48* TextureItemColor(TextureRecord* record, RGBColor48* colour);
void TextureItemTypeName(TextureRecord* record, char* text);
void TextureItemLabel(TextureRecord* record, char* text);
void TextureItemFileName(TextureRecord* record, char* text);
int32_t TextureItemStatus(TextureRecord* record);
void TextureItemBounds(TextureRecord* record, PortRect* rect, int32_t level);
void TextureItemFrameRect(TextureRecord* record, PortRect* rect, int32_t level);
// The holder's file reference chunk "TXRF" (0 for pictures that are not files).
ResultCode TextureItemQuery(TextureRecord* record, MemoryStream* stream);
ResultCode TextureItemWriteData(TextureRecord* record, MemoryStream* stream);
ResultCode LoadTextureMedia(TextureRecord* record);
void UnloadTextureMedia(TextureRecord* record);
ResultCode SetTexturePicture(TextureRecord* record, Q_Offscreen* offscreen);

// --- adding texture sources ---
// Adds a picture, model or library file to the list under the texture progress window, with
// TextureAddingDepth raised meanwhile; the status (0 for files of other types).
ResultCode AddTextureFile(TextureRecordList* list, const PathRecord* path);
// Adds each path of the list (PathRecord elements) while the status is 0; after a failure the
// alert "Couldn't load all the textures.  Memory may be low.".
ResultCode AddTextureFiles(TextureRecordList* list, const DynamicArray* paths);

// While set, the Add operations count and load without appending the user again.
extern int32_t TextureUserListSuppressed;
