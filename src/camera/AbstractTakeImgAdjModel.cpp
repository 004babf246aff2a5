#include "AbstractTakeImgAdjModel.h"

#include "AbstractTake.h"
#include "AbstractTakeValue.h"

AbstractTakeImgAdjModel::AbstractTakeImgAdjModel(AbstractTake* take)
    : ImgAdjModel(take, [take](const QStringList& key, int type, QVariant* storage) -> VornValue* {
          return new AbstractTakeValue(key, type, take, take, storage);
      })
{
}
