// The picture budget of a model.
#include "model/picture_budget.h"

#include <algorithm>

void PictureBudget::Begin()
{
    spent_ = 0;
    bytes_ = 0;
    files_.clear();
}

void PictureBudget::AddBytes(int64_t bytes)
{
    if (bytes > 0) bytes_ += bytes;
}

void PictureBudget::AddFileBytes(const FileIdentity& file, int64_t bytes)
{
    if (files_.insert({file.volume, file.number, bytes}).second) AddBytes(bytes);
}

bool PictureBudget::SpendOnPicture(int64_t units, int64_t ownBytes)
{
    return units <= kPictureUnitsOfAnyPicture + kPictureUnitsPerByte * std::max<int64_t>(ownBytes, 0) && Spend(units);
}

bool PictureBudget::Spend(int64_t units)
{
    if (units < 0 || units > Allowance() - spent_) return false;
    spent_ += units;
    return true;
}

int64_t PictureBudget::Allowance() const
{
    return kPictureUnitsOfAnyModel + kPictureUnitsPerByte * bytes_;
}
