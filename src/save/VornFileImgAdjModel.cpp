#include "VornFileImgAdjModel.h"

#include "VornFile.h"
#include "VornFileValue.h"

VornFileImgAdjModel::VornFileImgAdjModel(VornFile* file)
    : ImgAdjModel(file, [file](const QStringList& key, int type, QVariant* storage) -> VornValue* {
          return new VornFileValue(key, type, file, storage);
      })
{
}
