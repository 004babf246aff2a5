#pragma once

#include "ImgAdjModel.h"

class AbstractTake;

// The image adjustment of a take: its values live in the take on the camera,
// are read from the take's document and local edits are sent back there.
class AbstractTakeImgAdjModel : public ImgAdjModel
{
    Q_OBJECT

public:
    explicit AbstractTakeImgAdjModel(AbstractTake* take);
};
