#pragma once

#include "ImgAdjModel.h"

class VornFile;

// The image adjustment of an opened VORN file: its values are read from the
// file's header, so the frames show as they were adjusted when saved. Edits
// stay in the program; the file is never rewritten.
class VornFileImgAdjModel : public ImgAdjModel
{
    Q_OBJECT

public:
    explicit VornFileImgAdjModel(VornFile* file);
};
