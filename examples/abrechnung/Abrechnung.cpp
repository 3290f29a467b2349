// Abrechnung.cpp : Der Abrechnungslauf eines Quartals.
//
// Aufruf: abrechnung <Eingangsordner> <Ausgabeordner>
// Liest alle Abrechnungsdateien (*.xml) des Eingangsordners, prüft sie gegen
// abrechnung.xsd im selben Ordner, zählt je Leistung die Zähne, rechnet die
// Punkte je Fall (parallel) und je Quartal zusammen und schreibt die Summen
// nach summe.txt, verschlüsselt nach summe.enc (AES, Schlüssel aus der
// Umgebungsvariablen ABRECHNUNG_SCHLUESSEL, 32 Zeichen).
//
// Die Quelle ist UTF-8; Umlaute in Texten des Programms stehen als
// Codepage-1252-Escapes ("\xe4" für ä), wie die Daten der Bibliothek.
#include "stdafx.h"

#ifdef _DEBUG
#define new DEBUG_NEW
#endif

struct CLeistung
{
	CString strNr;
	CString strZaehne;
};

struct CFall
{
	CString strPatient;
	CString strDatum;
	CArray<CLeistung, const CLeistung&> aLeistungen;
	// Ergebnis der Berechnung
	int nZaehne = 0;
	int nPunkte = 0;
	CString strFehler;
};

// Punkte je Zahn der abrechenbaren Leistungen.
static const struct { LPCTSTR pszNr; int nPunkte; } s_Punkte[] =
{
	{ _T("13a"), 32 }, { _T("13b"), 39 }, { _T("13c"), 49 },
	{ _T("25"), 23 }, { _T("32"), 30 }, { _T("40"), 8 },
};

static CMap<CString, LPCTSTR, int, int> s_mapPunkte;

// Alle Dateien *.xml des Ordners, nach Namen sortiert (FindFirstFile
// liefert sie nicht in fester Reihenfolge).
static void SucheDateien(const CString& strOrdner, CStringArray& aDateien)
{
	WIN32_FIND_DATA fd;
	HANDLE hFind = FindFirstFile(strOrdner + _T("\\*.xml"), &fd);
	if (hFind == INVALID_HANDLE_VALUE)
		return;
	do
	{
		if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
			continue;
		int i = 0;
		while (i < aDateien.GetSize() && aDateien[i].CompareNoCase(fd.cFileName) < 0)
			i++;
		aDateien.InsertAt(i, CString(fd.cFileName));
	} while (FindNextFile(hFind, &fd));
	FindClose(hFind);
}

static BOOL LeseFaelle(const CXTXMLElement& wurzel, CArray<CFall*, CFall*>& aFaelle)
{
	INT_PTR nVorher = aFaelle.GetSize();
	unsigned int nFall = 0;
	while (const CXTXMLElement* pFall = wurzel.FindEach("Fall", nFall))
	{
		CFall* pNeu = new CFall;
		pNeu->strPatient = pFall->GetAttribute("Patient");
		pNeu->strDatum = pFall->GetAttribute("Datum");
		unsigned int nLeistung = 0;
		while (const CXTXMLElement* pLeistung = pFall->FindEach("Leistung", nLeistung))
		{
			CLeistung leistung;
			leistung.strNr = pLeistung->GetAttribute("Nr");
			leistung.strZaehne = pLeistung->GetAttribute("Zaehne");
			pNeu->aLeistungen.Add(leistung);
		}
		aFaelle.Add(pNeu);
	}
	return aFaelle.GetSize() > nVorher;
}

// Zähne und Punkte eines Falls; läuft auf den Arbeitern von ParallelFor.
static void BerechneFall(CFall& fall)
{
	for (int i = 0; i < fall.aLeistungen.GetSize(); i++)
	{
		const CLeistung& leistung = fall.aLeistungen[i];
		int nPunkte = 0;
		if (!s_mapPunkte.Lookup(leistung.strNr, nPunkte))
		{
			fall.strFehler.Format(_T("unbekannte Leistung %s"), leistung.strNr);
			return;
		}
		CTeeth zaehne;
		if (!zaehne.TryAddTeeth(leistung.strZaehne))
		{
			fall.strFehler.Format(_T("Z\xe4hne %s unlesbar"), leistung.strZaehne);
			return;
		}
		fall.nZaehne += zaehne.CntTeeth();
		fall.nPunkte += nPunkte * zaehne.CntTeeth();
	}
}

// Die Quartale in zeitlicher Folge: "QJJJJ" nach Jahr, dann Quartal.
static void SortiereQuartale(CMap<CString, LPCTSTR, int, int>& mapQuartale, CStringArray& aQuartale)
{
	POSITION pos = mapQuartale.GetStartPosition();
	while (pos != NULL)
	{
		CString strQuartal;
		int nPunkte;
		mapQuartale.GetNextAssoc(pos, strQuartal, nPunkte);
		CString strSchluessel = strQuartal.Right(4) + strQuartal.Left(1);
		int i = 0;
		while (i < aQuartale.GetSize() && (aQuartale[i].Right(4) + aQuartale[i].Left(1)) < strSchluessel)
			i++;
		aQuartale.InsertAt(i, strQuartal);
	}
}

static BOOL SchreibeDatei(const CString& strPfad, const void* pDaten, UINT nLaenge)
{
	CFile datei;
	CFileException fehler;
	if (!datei.Open(strPfad, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive, &fehler))
	{
		_tprintf(_T("%s kann nicht geschrieben werden (Fehler %ld)\n"), (LPCTSTR)strPfad, (long)fehler.m_lOsError);
		return FALSE;
	}
	datei.Write(pDaten, nLaenge);
	datei.Close();
	return TRUE;
}

int _tmain(int argc, TCHAR* argv[])
{
	if (argc != 3)
	{
		_tprintf(_T("Aufruf: abrechnung <Eingangsordner> <Ausgabeordner>\n"));
		return 2;
	}
	CString strEingang(argv[1]), strAusgabe(argv[2]);
	strEingang.TrimRight(_T('\\'));
	strAusgabe.TrimRight(_T('\\'));

	for (int i = 0; i < (int)(sizeof(s_Punkte) / sizeof(s_Punkte[0])); i++)
		s_mapPunkte.SetAt(s_Punkte[i].pszNr, s_Punkte[i].nPunkte);

	CStringArray aDateien;
	SucheDateien(strEingang, aDateien);
	CXTXmlSchemaValidator pruefer;
	pruefer.AddToSchemaCache("", strEingang + _T("\\abrechnung.xsd"));

	CArray<CFall*, CFall*> aFaelle;
	int nAbgewiesen = 0;
	for (int i = 0; i < aDateien.GetSize(); i++)
	{
		CString strPfad = strEingang + _T("\\") + aDateien[i];
		TCHAR szName[_MAX_FNAME], szEndung[_MAX_EXT];
		_tsplitpath(strPfad, NULL, NULL, szName, szEndung);
		CXTXMLElement wurzel;
		CXTSimpleXMLReader leser;
		if (!pruefer.Validate(strPfad))
		{
			CString strGrund = pruefer.GetError();
			int nEnde = strGrund.Find(_T(": Fehler"));
			_tprintf(_T("%s abgewiesen: %s\n"), szName, (LPCTSTR)(nEnde > 0 ? strGrund.Left(nEnde) : strGrund));
			nAbgewiesen++;
		}
		else if (!leser.ReadFile(strPfad, wurzel) || !LeseFaelle(wurzel, aFaelle))
		{
			_tprintf(_T("%s%s ist leer oder unlesbar\n"), szName, szEndung);
			nAbgewiesen++;
		}
		else
			_tprintf(_T("%s: %s\n"), szName, (LPCTSTR)wurzel.GetAttribute("Praxis"));
	}

	ParallelFor(0, (int)aFaelle.GetSize(), [&aFaelle](int i, void*) { BerechneFall(*aFaelle[i]); }, 1);

	CMap<CString, LPCTSTR, int, int> mapQuartale;
	char szZeile[256];
	CString strSumme;
	int nPunkte = 0;
	for (int i = 0; i < aFaelle.GetSize(); i++)
	{
		const CFall& fall = *aFaelle[i];
		if (!fall.strFehler.IsEmpty())
		{
			sprintf_s(szZeile, sizeof(szZeile), "Patient %s: %s\r\n", (LPCTSTR)fall.strPatient, (LPCTSTR)fall.strFehler);
			strSumme += szZeile;
			continue;
		}
		CString strQuartal = DbDate2Quartal(fall.strDatum);
		int nQuartal = 0;
		mapQuartale.Lookup(strQuartal, nQuartal);
		mapQuartale[strQuartal] = nQuartal + fall.nPunkte;
		nPunkte += fall.nPunkte;
		sprintf_s(szZeile, sizeof(szZeile), "Patient %s, %s: %d Z\xe4hne, %d Punkte\r\n",
			(LPCTSTR)fall.strPatient, (LPCTSTR)fall.strDatum, fall.nZaehne, fall.nPunkte);
		strSumme += szZeile;
	}
	CStringArray aQuartale;
	SortiereQuartale(mapQuartale, aQuartale);
	for (int i = 0; i < aQuartale.GetSize(); i++)
	{
		sprintf_s(szZeile, sizeof(szZeile), "Quartal %c/%s: %d Punkte\r\n",
			aQuartale[i][0], (LPCTSTR)aQuartale[i].Mid(1), mapQuartale[aQuartale[i]]);
		strSumme += szZeile;
	}
	sprintf_s(szZeile, sizeof(szZeile), "Summe: %d Punkte aus %d F\xe4llen, %d Dateien abgewiesen\r\n",
		nPunkte, (int)aFaelle.GetSize(), nAbgewiesen);
	strSumme += szZeile;
	CString strAnzeige(strSumme);
	strAnzeige.Remove(_T('\r'));
	_tprintf(_T("%s"), (LPCTSTR)strAnzeige);
	for (int i = 0; i < aFaelle.GetSize(); i++)
		delete aFaelle[i];

	TCHAR szSchluessel[64];
	DWORD dwLaenge = GetEnvironmentVariable(_T("ABRECHNUNG_SCHLUESSEL"), szSchluessel, 64);
	if (dwLaenge != 32)
	{
		_tprintf(_T("ABRECHNUNG_SCHLUESSEL fehlt oder hat nicht 32 Zeichen\n"));
		return 1;
	}
	CString strVerschluesselt, strFehler;
	if (!CXTCrypt::EncryptDataAESBase64(szSchluessel, _T("summe.txt"), (unsigned char*)strSumme.GetBuffer(),
		strSumme.GetLength(), strVerschluesselt, strFehler))
	{
		_tprintf(_T("Verschl\xfcsselung fehlgeschlagen: %s\n"), (LPCTSTR)strFehler);
		return 1;
	}
	strSumme.ReleaseBuffer();
	if (!SchreibeDatei(strAusgabe + _T("\\summe.txt"), strSumme, strSumme.GetLength()) ||
		!SchreibeDatei(strAusgabe + _T("\\summe.enc"), strVerschluesselt, strVerschluesselt.GetLength()))
		return 1;
	return nAbgewiesen == 0 ? 0 : 3;
}
