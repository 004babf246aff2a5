#pragma once

#include "ImgAdjModel.h"

class Camera;

// The image adjustment of a camera's live picture. Its values live in the
// camera's own settings document under "adjust": they are polled with the
// camera's other values and local edits are sent to the camera.
class CameraImgAdjModel : public ImgAdjModel
{
    Q_OBJECT

public:
    // A child of the camera; its CameraValues are children of the camera too
    // (so they know where to send) and are appended to its value list.
    explicit CameraImgAdjModel(Camera* camera);
};
