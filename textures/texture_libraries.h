// The global texture lists: the library textures and their files, the records that texture
// tables bring in embedded or relocated, and the index of the image files beside the opened
// model, through which file references that moved are found again; the scan of the texture
// folder beside the program; and the nested locking of every loaded texture around a frame.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class DiskFileStream;
class DynamicArray;
class TextureRecord;
class TextureRecordList;
struct TextureManager;

// Library file objects (owned), library records (owned), the records of embedded and relocated
// pictures (owned by their own lists), and the image files beside the opened model.
extern DynamicArray* LibraryFileList;
extern TextureRecordList* LibraryTextureList;
extern TextureRecordList* EmbeddedTextureList;
extern TextureRecordList* ImageResourceList;

// Makes the library lists (empty) once, at engine start-up.
void InitTextureLibraries();
// Destroys the library files and records and frees the lists (the embedded list's records
// stay with their own lists); at engine exit.
void FreeTextureLibraries();
// Destroys the records of the image index and frees it; at exit, after the documents.
void FreeImageResources();
// Makes the image index anew: one record for each BMP and DIB file in the model file's folder,
// named name.ext.
void IndexImageResources(DiskFileStream* modelFile);
// The indexed record of a file of the file object's name.ext, byte for byte, or null.
TextureRecord* FindImageResourceByName(DiskFileStream* file);
// The indexed record of a file of the file object's name.ext in any letter case (the first
// indexed of that name), found in one look; or null.
TextureRecord* FindImageResource(DiskFileStream* file);
// Sets the file object to the indexed file of its name.ext (letters in either case) and locates
// it; the locating's status, or -1 when no indexed file has that name.
ResultCode LocateMissingTextureFile(DiskFileStream* file);
// Locks (unlocks) every holder in use on the outermost of nested calls.
void LockTextureSet(TextureManager* manager);
void UnlockTextureSet(TextureManager* manager);
// Scans the folder of that name beside the program for files of the type into the list.
void TextureLibraryFolder(DynamicArray* files, const char* folderName, const char* nameFilter, uint32_t typeCode);
// With a non-zero flag, a record in the list for each BMP, DIB and JPG file of the "TEXTURES"
// folder beside the program, under the library progress window.
void ScanTextureLibraries(TextureRecordList* list, int32_t flag);
