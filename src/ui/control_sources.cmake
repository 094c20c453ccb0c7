# Sources of the control part of the user interface.
target_sources(kx_ui PRIVATE
  NumberField.h
  NumberField.cpp
  LiveChartModule.h
  LiveChartModule.cpp
  RunRecording.h
  RunRecording.cpp
  NarrowComboStyle.h
  NarrowComboStyle.cpp
  ControlPage.h
  ControlPage.cpp
  ConfigPanel.h
  ConfigPanel.cpp
  EmulatedInputs.h
  EmulatedInputs.cpp
  ProgramSimulation.h
  ProgramSimulation.cpp
  EmulatedFaultView.h
  EmulatedFaultView.cpp
)
