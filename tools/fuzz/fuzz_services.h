// The services of the layers above the scene model, as the fuzz targets install them: the
// texture layer over its texture manager, and credits pictures read as offscreens.
#pragma once

class MemoryStream;
class ModelDocument;
class TextureRecordList;

// Installs the services once for the whole run.
void InstallFuzzServices();
// A new model document whose textures go to a list of their own; null when it cannot be made.
ModelDocument* NewFuzzDocument();
// The texture list of the document made last.
TextureRecordList* FuzzDocumentTextures();
// Decodes every texture of the document once, as drawing a frame does, and lets it go again.
void AcquireFuzzTextures(ModelDocument* document);
// Reads the model file from the stream into the document (any answer will do: the targets look for
// faults), and traps when the read's loops turned more than its budget's charge allows: work
// that no cost of the budget pays for.
void ReadFuzzModel(ModelDocument* document, MemoryStream* stream);
// Destroys the document and releases its textures.
void DestroyFuzzDocument(ModelDocument* document);
