// KX::LThreadWorker: a work object that a worker thread runs (the retriggerable
// worker thread, the thread pool).
//
// Contract: DoWork runs on the worker thread with the parameter given with the
// work and answers a result code. The worker thread holds a reference on the
// work object and on the parameter while the work is pending or running, so a
// work object may drop the last outside reference to itself meanwhile. Nothing
// is locked during DoWork: the work object does its own locking.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"

namespace KX {

class LThreadWorker : public virtual LRefCountedObject
{
public:
    virtual KXRESULT DoWork(const ConstRCPtr<LRefCountedObject>& parameter) = 0;

protected:
    ~LThreadWorker() override = default;
};

} // namespace KX
