// The batch commands under node see the environment of the shell that started them, as the
// native program does (SOURCE_DATE_EPOCH, QT_QPA_PLATFORM and the like), not the runtime's
// made-up one.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  for (var name in process.env) ENV[name] = process.env[name];
});
