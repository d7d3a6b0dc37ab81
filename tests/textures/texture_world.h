// Test helpers of the texture layer on Windows: a 32-bit screen, the texture manager, the
// texture services installed for the scene model, the global lists and a document texture list,
// all undone at the end of the scope; scratch folders for picture files; and texture tables read
// from memory.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/draw/draw_support.h"
#include "tests/foundation/file_test_support.h"
#include "tests/textures/bmp_builder.h"
#include "tests/textures/texture_test_support.h"
#include "textures/media_holder.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "textures/texture_table.h"

class TextureWorld {
public:
    TextureWorld() : screen(32), limits_(200, 200)
    {
        manager = new TextureManager{};
        InitTextureManager(manager);
        services = &InstallTextureLayerServices();
        InitTextureLibraries();
        list = NewTextureRecordList();
        services->SetDocumentTextureList(list);
    }
    ~TextureWorld()
    {
        services->SetDocumentTextureList(nullptr);
        ReleaseTextureRecords(list);
        FreeTextureRecordList(list);
        RemoveTextureLayerServices();
        FreeImageResources();
        FreeTextureLibraries();
        FreeTextureManager();
    }
    TextureWorld(const TextureWorld&) = delete;
    TextureWorld& operator=(const TextureWorld&) = delete;

    int32_t HolderCount() const { return manager->holderList->ArrayCount(); }
    // Begins the numbering of textures for a save or a read, on a stream nothing is written to.
    void BeginTextureSave() { services->BeginTextureSave(&ignored); }

    TestScreen screen;
    AlertCatcher ui;
    TextureManager* manager = nullptr;
    TextureLayerServices* services = nullptr;
    TextureRecordList* list = nullptr;
    MemoryStream ignored;

private:
    ScopedVolumeLimits limits_;
};

// A folder C:\qp_<name>_<process>\, removed with everything in it.
class PictureFolder {
public:
    explicit PictureFolder(const std::string& name)
        : path_("C:\\qp_" + name + "_" + std::to_string(GetCurrentProcessId()) + "\\")
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~PictureFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    // Writes the file and returns its full path.
    std::string Put(const std::string& name, const Bytes& bytes) const
    {
        WriteWholeFile(path_ + name, std::string(bytes.begin(), bytes.end()));
        return path_ + name;
    }
    void Remove(const std::string& name) const { std::remove((path_ + name).c_str()); }

private:
    std::string path_;
};

// Reads the table body from a memory stream positioned inside "TXTB".
inline ResultCode ReadTable(TextureWorld& world, const Bytes& entries)
{
    MemoryStream stream;
    Load(stream, Chunk("TXTB", entries));
    EXPECT_EQ(stream.StreamEnterChunk(), ChunkTagOf("TXTB"));
    return ReadTextureTable(world.manager, &stream, 0);
}

inline PathRecord PathOf(const std::string& text)
{
    PathRecord path;
    EXPECT_EQ(SetPathRecordText(&path, text.c_str()), kResultOk);
    return path;
}

// A 24-bit bitmap file of one colour.
inline Bytes SolidBmp(int32_t width, int32_t height, uint32_t colour)
{
    const BmpLayout layout = BmpShape(width, height);
    return MakeBmp(layout, PackRows(std::vector<std::vector<uint32_t>>(size_t(height),
                                                                   std::vector<uint32_t>(size_t(width), colour)),
                                  24));
}
