// CEffectType: the description of one kind of plug-in instance that a group offers the
// host: codes, category, names, options, feature selectors, stem formats, the page-table
// name and the factory of its processes. CEffectTypeRTAS is a type processed in real time
// on the host's processor.
#pragma once

#include "fic_types.h"

#include <cstdint>
#include <string>
#include <vector>

class CEffectProcess;
using ProcessFactory = CEffectProcess* (*)();

class CEffectType {
public:
    CEffectType(ptfw::OSType typeCode, ptfw::OSType productCode, std::uint32_t category);
    virtual ~CEffectType() = default;
    CEffectType(const CEffectType&) = delete;
    CEffectType& operator=(const CEffectType&) = delete;

    void DefineTypeNames(const char* names);
    void DefineGeneralOptions(std::int32_t options);
    void AddFeatureSelector(std::int32_t selector); // kept in order; at most PT_MAX_CODES
    // Input and output: kStemMono or kStemStereo; side chain: kSideChainNone. Throws
    // CDAEError(kErrBadArgument) for any other format.
    void DefineStemFormats(std::int32_t input, std::int32_t output, std::int32_t sideChain);
    void AttachEffectProcessCreator(ProcessFactory factory) { factory_ = factory; }
    void DefinePageTableName(const char* name);

    virtual std::int32_t GetKind() const = 0;
    ptfw::OSType GetTypeCode() const { return typeCode_; }
    ptfw::OSType GetProductCode() const { return productCode_; }
    std::uint32_t GetCategory() const { return category_; }
    const std::string& GetTypeNames() const { return names_; }
    std::int32_t GetGeneralOptions() const { return options_; }
    const std::vector<std::int32_t>& GetFeatureSelectors() const { return selectors_; }
    std::int32_t GetInputStem() const { return inputStem_; }
    std::int32_t GetOutputStem() const { return outputStem_; }
    std::int32_t GetSideChainStem() const { return sideChainStem_; }
    bool HasStemFormats() const { return stemsDefined_; }
    const std::string& GetPageTableName() const { return pageTable_; }
    ProcessFactory GetProcessFactory() const { return factory_; }

    // Whether everything the host needs is there: names, stem formats, a factory.
    bool IsComplete() const;

private:
    ptfw::OSType typeCode_, productCode_;
    std::uint32_t category_;
    std::string names_;
    std::int32_t options_ = 0;
    std::vector<std::int32_t> selectors_;
    std::int32_t inputStem_ = ptfw::kStemMono, outputStem_ = ptfw::kStemMono;
    std::int32_t sideChainStem_ = ptfw::kSideChainNone;
    bool stemsDefined_ = false;
    std::string pageTable_;
    ProcessFactory factory_ = nullptr;
};

class CEffectTypeRTAS : public CEffectType {
public:
    using CEffectType::CEffectType;
    std::int32_t GetKind() const override;
};
