"""A speech server for Orca that says nothing, for the tests: it writes each utterance as one line
to the file that ORCA_QUIET_LOG names, at once (Orca's own debug log reaches its file only in
blocks). Debian's speech-dispatcher would hang Orca on a machine with no sound. Orca 43 (Debian 12)
calls its speech server's methods by camelCase names, Orca 48 (Debian 13) by snake_case ones: it
answers to both."""
import os

from orca import speechserver


class SpeechServer(speechserver.SpeechServer):
    _only = None

    @staticmethod
    def getFactoryName():
        return "quiet"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._only is None:
            SpeechServer._only = SpeechServer()
        return SpeechServer._only

    @staticmethod
    def shutdownActiveServers():
        pass

    def __init__(self):
        super().__init__()
        self._log = open(os.environ["ORCA_QUIET_LOG"], "a", encoding="utf-8")

    def getInfo(self):
        return ["quiet", "quiet"]

    def getVoiceFamilies(self):
        return []

    def speak(self, text=None, acss=None, interrupt=True):
        if text:
            self._log.write(text.replace("\n", " ") + "\n")
            self._log.flush()

    def sayAll(self, utteranceIterator, progressCallback):
        for context, _ in utteranceIterator:
            self.speak(context.utterance)

    get_speech_server = getSpeechServer
    get_speech_servers = getSpeechServers
    get_factory_name = getFactoryName
    shutdown_active_servers = shutdownActiveServers
    get_info = getInfo
    get_voice_families = getVoiceFamilies
    say_all = sayAll
