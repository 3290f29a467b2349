// Empfang.h : Der Empfangsdienst der Praxis.
//
// Nimmt die Anfragen der Arbeitsplätze als Mail entgegen ("Patientennummer;
// Anliegen"), sucht zum Anliegen die Antwort aus der INI-Datei heraus und
// schickt sie dem Absender zurück. Nach der eingestellten Zahl von Mails
// endet der Dienst.
#pragma once

class CEmpfangApp : public CWinApp
{
public:
	CEmpfangApp();

	virtual BOOL InitInstance();
	virtual int ExitInstance();

protected:
	BOOL LeseEinstellungen(LPCTSTR pszIniDatei);
	BOOL Beantworte(const CString& strAbsender, const CString& strText);
	CString AntwortAuf(const CString& strAnliegen);
	void Journal(const CString& strZeile);

	CString m_strPostfach;          // aus der Registry
	CString m_strAntwortPostfach;   // aus der INI-Datei
	CString m_strAntwortUnter;
	int m_nWartezimmer;
	int m_nErwartet;
	int m_nGelesen;
	int m_nBeantwortet;
	CMapStringToString m_mapAnliegen;  // Anliegen (groß geschrieben) -> Antwort
	CStringArray m_astrJournal;
};

extern CEmpfangApp theApp;
