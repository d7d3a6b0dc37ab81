// The model file header test of the open command.
#include "model/model_file_form.h"

#include "foundation/memory_stream.h"
#include "model/model_document.h"

namespace {

// The form type (the third header word), read plain or through the scrambling filter.
uint32_t FormType(MemoryStream* file, bool scrambled)
{
    uint32_t words[3] = {0, 0, 0};
    IgnoreResult(file->StreamSetPosition(0));
    if (scrambled) file->StreamScrambleOn();
    // A file too short for the header reads as no form.
    for (uint32_t& word : words) IgnoreResult(file->StreamTransferValue(&word, kValue32));
    file->StreamScrambleOff();
    IgnoreResult(file->StreamSetPosition(0));
    return words[2];
}

}  // namespace

ModelFileForm ReadModelFileForm(MemoryStream* file)
{
    if (FormType(file, false) == kFormModel) return ModelFileForm::kPlain;
    const uint32_t scrambled = FormType(file, true);
    return scrambled == kFormModel || scrambled == kFormModelShort ? ModelFileForm::kScrambled
                                                                   : ModelFileForm::kNotAModel;
}
