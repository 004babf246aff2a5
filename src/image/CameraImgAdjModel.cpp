#include "CameraImgAdjModel.h"

#include "Camera.h"
#include "CameraValue.h"

CameraImgAdjModel::CameraImgAdjModel(Camera* camera)
    : ImgAdjModel(camera, [camera](const QStringList& key, int type, QVariant* storage) -> VornValue* {
          return new CameraValue(key, type, camera, storage);
      })
{
}
