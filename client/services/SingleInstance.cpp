#include "services/SingleInstance.h"

CSingleInstance::CSingleInstance(const char* name)
{
    // A present but null DACL grants access to everyone.
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, TRUE};
    const bool open = InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                      SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    m_semaphore = CreateSemaphoreA(open ? &attributes : nullptr, 1, 1, name);
    m_lastError = GetLastError();
}

CSingleInstance::~CSingleInstance()
{
    if (m_semaphore) {
        CloseHandle(m_semaphore);
        m_semaphore = nullptr;
    }
}

bool CSingleInstance::IsAlreadyRunning() const { return m_lastError == ERROR_ALREADY_EXISTS; }
